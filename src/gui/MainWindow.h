#pragma once
// The main window: a multiple-document frame with the File, Transactor and Help menus,
// the sixteen-place toolbar ToolbarMain, the two-panel status bar and the one-second
// memory line. It owns the open project's record, runs the project commands and opens
// every other window. EnDisMDI is the single place where commands are enabled: off while
// a window is open, by the project's stage otherwise.
#include "AppCommands.h"
#include "AppContext.h"
#include "model/ProjectRecord.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace kestrel {

class HelpViewer;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Opens the window of a command, parented to the main window and not yet shown, or
    // returns null when there is none to show (the opener has told the user why). The main
    // window places and shows it and calls EnDisMDI(true) when it closes.
    using WindowOpener = std::function<QDialog*(MainWindow&)>;

    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after the splash: registers the file type, then opens the project named by
    // the command-line argument, or enters the state without a project when the argument
    // is empty or "%1".
    void Start(const QString& argument);

    void EnDisMDI(bool enable);
    void RunCommand(AppCommand command);
    // Replaces the window a command opens (the declaration and assignment windows plug in
    // here).
    void SetWindowOpener(AppCommand command, WindowOpener opener);

    const ProjectRecord& Project() const { return project_; }
    // Makes a record just written by a project command the open project and shows it.
    void SetProject(const ProjectRecord& record);
    // Changes the open project's record (a stage change by a declaration or assignment
    // window), rewrites its .tp file and shows the new state. False, after a message
    // naming the file, when the file cannot be written.
    bool UpdateProject(const std::function<void(ProjectRecord&)>& change);
    // Open Project on a .tp file: the project opened, or a message naming the file.
    void OpenProjectFile(const QString& path);

    AppContext& Context() { return context_; }
    QAction* MenuItem(AppCommand command) const;
    QMenu* Menu(const char* name) const;
    // Button 1 to 16 of ToolbarMain (separators included).
    QAction* ToolbarButton(int number) const;
    QLabel* StatusPanel(int number) const;
    QTimer& MemoryTimer() { return memoryTimer_; }
    // The window opened by the last command that is still open, or null.
    QDialog* OpenWindow() const;
    HelpViewer& Help() { return *help_; }

    void RefreshMemoryLine();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void InstallDefaultOpeners();
    void ShowProject(); // caption and status panel 1
    void OpenProjectCommand();
    // After opening: when the generated files are set to go outside the project (a copy
    // that names the folder it came from), asks whether to point them at its Output folder.
    void AskToPointOutputsHere();
    void CloseProjectCommand();
    // Closes the diagram editors, each asking about its unsaved changes; false, with the
    // rest left open, when the user keeps one open (Cancel). Exit, the window's close
    // button and Close Project go on only when every editor has closed.
    bool CloseDiagramEditors();
    void ShowHelpTopics();
    void OpenCommandWindow(AppCommand command);

    AppContext& context_;
    ProjectRecord project_;
    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QTimer memoryTimer_;
    std::map<AppCommand, QAction*> menuItems_;
    std::map<AppCommand, WindowOpener> openers_;
    // The windows opened by commands and not yet closed: one, or two when About was
    // opened from the Help menu, which stays usable while a window is open.
    std::vector<QPointer<QDialog>> openWindows_;
    HelpViewer* help_ = nullptr;
};

} // namespace kestrel
