#pragma once
// FormAssignFSM, the FSM assignment window: one row per TLM function with its signature,
// its ASF file and the hidden assigned mark; Browse (or a double click) and Unassign on
// the selected row; Generate ASF Template and Work with Template; Edit Diagram opens the
// selected function's diagram in the diagram editor; OK records the rows in the project,
// Cancel drops them.
#include "project/FsmAssignment.h"

#include <QDialog>

#include <memory>

class QTreeWidget;

namespace kestrel {

class MainWindow;

class FormAssignFSM : public QDialog {
    Q_OBJECT

public:
    // Loads the function table and asf.dat into a new window (not shown yet). Null, after
    // a message naming the file, when they cannot be read.
    static FormAssignFSM* Open(MainWindow& main);
    ~FormAssignFSM() override;

    void BrowseAsfFile();
    void UnassignAsfFileOfRow();
    void GenerateTemplate();
    void WorkWithTemplate();
    // Opens the diagram assigned to the selected function in the diagram editor.
    void EditDiagram();
    void Confirm();

private:
    FormAssignFSM(MainWindow& main, std::unique_ptr<FsmAssignmentState> state);
    // The selected row (0-based), or -1.
    int SelectedRow() const;
    // The selected row when it is no library function (whose refusal is shown), or null.
    const FsmAssignmentRow* DrawableRow(int& row);
    void ShowRow(int row);
    void Inform(const InputRefusal& refusal);
    // The diagram editor on a file; with a row, the checks and preview are those of that
    // function of the project.
    void OpenDiagram(const QString& path, int row);

    MainWindow& main_;
    std::unique_ptr<FsmAssignmentState> state_;
    QTreeWidget* list_ = nullptr;
};

} // namespace kestrel
