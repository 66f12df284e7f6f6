#pragma once
// FormAssignAsmL, the AsmL assignment window: Generate AsmL Template (the converter runs
// while the window keeps painting, with a busy bar) and Work with Template; the assigned
// document with Assign... and Unassign; OK records it in the project, Cancel drops it.
#include "asml/AsmlTemplate.h"
#include "project/AsmlAssignmentRules.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kestrel {

class MainWindow;

class FormAssignAsmL : public QDialog {
    Q_OBJECT

public:
    // Loads asml.dat into a new window (not shown yet). Null, after a message naming the
    // file, when it cannot be read.
    static FormAssignAsmL* Open(MainWindow& main, const DocumentConverter& converter);

    void GenerateTemplate();
    void WorkWithTemplate();
    void AssignDocument();
    void UnassignDocument();
    void Confirm();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FormAssignAsmL(MainWindow& main, const DocumentConverter& converter,
                   const AsmlAssignmentState& state);
    void ShowState();

    MainWindow& main_;
    DocumentConverter converter_;
    AsmlAssignmentState state_;
    QLabel* documentLabel_ = nullptr;
    QLabel* assignedMark_ = nullptr;
    QProgressBar* wait_ = nullptr;
    bool busy_ = false;
};

} // namespace kestrel
