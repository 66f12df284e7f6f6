#pragma once
// FormGenTran, the Generate SystemC Transactor window: the class names and output paths
// of the open project, the Generate button with its progress bar and status box, and the
// way to the Code Generation Settings window. The status box and the progress bar follow
// the generation log while a run goes on.
#include "codegen/GenerationLog.h"
#include "model/ProjectOptions.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kestrel {

class MainWindow;

class FormGenTran : public QDialog, private LogObserver {
    Q_OBJECT

public:
    // Loads the project's generation settings into a new window (not shown yet). Null,
    // after a message naming the file, when they cannot be read.
    static FormGenTran* Open(MainWindow& main);
    ~FormGenTran() override;

    // The five boxes as typed.
    GenerationSettings Boxes() const;
    // Generate SystemC Transactor: one run with the boxes as typed.
    void RunGenerate();
    void Confirm();
    void OpenCodeSettings();

private:
    FormGenTran(MainWindow& main, const GenerationSettings& settings);
    void Browse(QLineEdit* box, const QString& title, const QString& filter);

    void OnText(std::string_view appended) override;
    void OnProgress(int value, int maximum) override;
    void OnReset() override;

    MainWindow& main_;
    // The session's log outlives the main window; the destructor may run while the main
    // window is being destroyed, so it must not go through main_.
    GenerationLog& log_;
    QLineEdit* transactorClass_ = nullptr;
    QLineEdit* interfaceClass_ = nullptr;
    QLineEdit* cppPath_ = nullptr;
    QLineEdit* headerPath_ = nullptr;
    QLineEdit* interfaceHeaderPath_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
};

// The font of the status box: "Courier New", or the system's fixed-pitch font when it is
// not installed.
QFont StatusFont();

} // namespace kestrel
