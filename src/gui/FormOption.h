#pragma once
// FormOption, the Code Generation Settings window: the generation method, the clock, the
// library and the banner texts of the open project, on four tabs. It is opened by the
// main window or by the Generate window; whichever opened it is enabled again when it
// closes (by connecting to finished()).
#include "model/ProjectOptions.h"
#include "project/CodeSettings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kestrel {

class MainWindow;

class FormOption : public QDialog {
    Q_OBJECT

public:
    // Loads the project's options into a new window (not shown yet). Null, after a
    // message naming the file, when they cannot be read.
    static FormOption* Open(MainWindow& main, QWidget* parent);

    // What the controls hold.
    CodeSettingsDraft Draft() const;
    void Confirm();
    void BrowseLibrary();

private:
    FormOption(MainWindow& main, QWidget* parent, const ProjectOptions& options);
    void ShowDraft(const CodeSettingsDraft& draft);
    void ApplyEnablingRules();

    MainWindow& main_;
    ProjectOptions options_;
    QTabWidget* tabs_ = nullptr;
    QButtonGroup* method_ = nullptr;
    QRadioButton* clockPositive_ = nullptr;
    QRadioButton* clockNegative_ = nullptr;
    QCheckBox* useSetup_ = nullptr;
    QLineEdit* setup_ = nullptr;
    QComboBox* setupUnit_ = nullptr;
    QLineEdit* period_ = nullptr;
    QComboBox* periodUnit_ = nullptr;
    QCheckBox* makeLibrary_ = nullptr;
    QLineEdit* libraryFile_ = nullptr;
    QPushButton* browseLibrary_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* author_ = nullptr;
    QLineEdit* company_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    QCheckBox* commentInHeaders_ = nullptr;
};

} // namespace kestrel
