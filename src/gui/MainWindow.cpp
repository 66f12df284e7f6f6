// The main window. Menus and toolbar are built from the command table; every command that
// opens a window first calls EnDisMDI(false), and the window's closing (OK or Cancel)
// calls EnDisMDI(true), which enables each command by the project's stage. The project
// commands (open, close) and the start-up argument use the core's project rules; the
// windows of later commands are plugged in through SetWindowOpener.
#include "MainWindow.h"

#include "DialogPlacement.h"
#include "FormAbout.h"
#include "FormGenTran.h"
#include "FormNewProject.h"
#include "FormOption.h"
#include "GuiResources.h"
#include "GuiText.h"
#include "HelpViewer.h"
#include "UiServices.h"
#include "assign/AssignWindows.h"
#include "diagram/DiagramEditor.h"
#include "editors/EditorWindows.h"
#include "model/ProjectPaths.h"
#include "project/MemoryLine.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace kestrel {

namespace {

constexpr int kMemoryIntervalMs = 1000;

} // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    InitGuiResources();
    setObjectName(QStringLiteral("FormMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kestrel.svg")));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("MDIArea"));
    setCentralWidget(mdiArea_);
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    InstallDefaultOpeners();
    help_ = new HelpViewer(context_.ui, context_.helpFolder, this);

    memoryTimer_.setInterval(kMemoryIntervalMs);
    connect(&memoryTimer_, &QTimer::timeout, this, &MainWindow::RefreshMemoryLine);

    CloseProject(project_);
    ShowProject();
    resize(1024, 720);
}

MainWindow::~MainWindow() {
    memoryTimer_.stop();
    help_->Close();
}

void MainWindow::BuildMenus() {
    for (const MenuSpec& menuSpec : MenuTable()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(menuSpec.caption));
        menu->setObjectName(QString::fromLatin1(menuSpec.name));
        for (const std::optional<AppCommand>& item : menuSpec.items) {
            if (!item) {
                menu->addSeparator();
                continue;
            }
            const CommandSpec& spec = Spec(*item);
            QAction* action = menu->addAction(QString::fromLatin1(spec.caption));
            action->setObjectName(QString::fromLatin1(spec.menuName));
            const AppCommand command = *item;
            connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
            menuItems_[command] = action;
        }
    }
}

void MainWindow::BuildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Main"));
    toolbar_->setObjectName(QStringLiteral("ToolbarMain"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(24, 24));
    int number = 0;
    for (const std::optional<AppCommand>& button : ToolbarTable()) {
        ++number;
        QAction* action = nullptr;
        if (!button) {
            action = toolbar_->addSeparator();
        } else {
            const CommandSpec& spec = Spec(*button);
            action = toolbar_->addAction(QIcon(QString::fromLatin1(spec.icon)),
                                         QString::fromLatin1(spec.caption));
            action->setToolTip(QString::fromLatin1(spec.toolTip));
            const AppCommand command = *button;
            connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        }
        action->setObjectName(QStringLiteral("ToolbarMainButton%1").arg(number));
    }
}

void MainWindow::BuildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("StatusBarMain"));
    statusBar()->setSizeGripEnabled(true);
    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("StatusBarPanel1"));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2_ = new QLabel(this);
    panel2_->setObjectName(QStringLiteral("StatusBarPanel2"));
    panel2_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(panel1_, 1);
    statusBar()->addPermanentWidget(panel2_);
}

void MainWindow::InstallDefaultOpeners() {
    SetWindowOpener(AppCommand::NewProject,
                    [](MainWindow& main) -> QDialog* { return new FormNewProject(main); });
    SetWindowOpener(AppCommand::NewProjectFromRtl,
                    [](MainWindow& main) -> QDialog* { return new FormNewProject(main, true); });
    SetWindowOpener(AppCommand::About,
                    [](MainWindow& main) -> QDialog* { return new FormAbout(main); });
    SetWindowOpener(AppCommand::CodeSettings,
                    [](MainWindow& main) -> QDialog* { return FormOption::Open(main, &main); });
    SetWindowOpener(AppCommand::Generate,
                    [](MainWindow& main) -> QDialog* { return FormGenTran::Open(main); });
    InstallEditorWindows(*this);
    InstallAssignWindows(*this);
}

void MainWindow::SetWindowOpener(AppCommand command, WindowOpener opener) {
    openers_[command] = std::move(opener);
}

void MainWindow::Start(const QString& argument) {
    if (context_.registerFileType) context_.registerFileType();
    RefreshMemoryLine();
    if (argument.isEmpty() || argument == QStringLiteral("%1")) {
        CloseProjectCommand();
        return;
    }
    OpenProjectFile(argument);
    if (project_.projectStage == kStageNoProject) CloseProjectCommand();
}

void MainWindow::EnDisMDI(bool enable) {
    for (const MenuSpec& menuSpec : MenuTable()) {
        const QString name = QString::fromLatin1(menuSpec.name);
        if (name == QStringLiteral("MenuHelp")) continue;
        QMenu* menu = Menu(menuSpec.name);
        menu->setEnabled(enable);
        menu->menuAction()->setEnabled(enable);
    }
    const QList<QAction*> buttons = toolbar_->actions();
    if (!enable) {
        for (const CommandSpec& spec : CommandTable()) {
            if (spec.disabledWithWindow) menuItems_.at(spec.command)->setEnabled(false);
        }
        // Every button but the last separator and Help.
        for (qsizetype i = 0; i < buttons.size() - 2; ++i) buttons[i]->setEnabled(false);
        memoryTimer_.stop();
        return;
    }
    const int stage = project_.projectStage;
    for (const CommandSpec& spec : CommandTable()) {
        if (spec.minimumStage >= 1)
            menuItems_.at(spec.command)->setEnabled(OfferedAtStage(spec.command, stage));
    }
    int index = 0;
    for (const std::optional<AppCommand>& button : ToolbarTable()) {
        if (button && Spec(*button).minimumStage != kAlwaysOffered)
            buttons[index]->setEnabled(OfferedAtStage(*button, stage));
        ++index;
    }
    memoryTimer_.start();
}

void MainWindow::RunCommand(AppCommand command) {
    // While a window is open only the Help menu is usable (EnDisMDI(false)).
    if (OpenWindow() && command != AppCommand::HelpTopics && command != AppCommand::About) return;
    switch (command) {
    case AppCommand::OpenProject: OpenProjectCommand(); return;
    case AppCommand::CloseProject:
        if (CloseDiagramEditors()) CloseProjectCommand();
        return;
    case AppCommand::Exit:
        // Cancel on a diagram editor's question keeps everything open.
        if (close()) QCoreApplication::quit();
        return;
    case AppCommand::HelpTopics: ShowHelpTopics(); return;
    default: OpenCommandWindow(command); return;
    }
}

void MainWindow::OpenCommandWindow(AppCommand command) {
    EnDisMDI(false);
    auto opener = openers_.find(command);
    QDialog* window = opener != openers_.end() ? opener->second(*this) : nullptr;
    if (!window) {
        if (!OpenWindow()) EnDisMDI(true);
        return;
    }
    openWindows_.emplace_back(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QDialog::finished, this, [this, window] {
        std::erase_if(openWindows_, [window](const QPointer<QDialog>& open) {
            return open.isNull() || open.data() == window;
        });
        if (!OpenWindow()) EnDisMDI(true);
    });
    PlaceDialog(window, this);
    window->show();
}

QDialog* MainWindow::OpenWindow() const {
    for (auto it = openWindows_.rbegin(); it != openWindows_.rend(); ++it) {
        if (!it->isNull()) return it->data();
    }
    return nullptr;
}

void MainWindow::ShowProject() {
    setWindowTitle(FromCore(WindowCaption(project_)));
    panel1_->setText(FromCore(ProjectStatusText(project_)));
}

void MainWindow::SetProject(const ProjectRecord& record) {
    project_ = record;
    ShowProject();
}

bool MainWindow::UpdateProject(const std::function<void(ProjectRecord&)>& change) {
    ProjectRecord changed = project_;
    change(changed);
    if (Status s = SaveProjectFile(changed); !s) {
        ShowFailure(context_.ui, this, FromCore(s.message()));
        return false;
    }
    project_ = changed;
    ShowProject();
    return true;
}

void MainWindow::OpenProjectFile(const QString& path) {
    ProjectRecord opened;
    CommandOutcome outcome = OpenProject(ToCore(path), opened);
    if (!outcome.ok()) {
        ShowFailure(context_.ui, this, FromCore(outcome.status.message()));
        return;
    }
    project_ = opened;
    ShowProject();
    // Said once: the next change of the project shows the plain status again.
    if (!outcome.createdFolders.empty())
        panel1_->setText(FromCore(ProjectStatusText(project_) + "  -  " +
                                  MissingFoldersNote(outcome.createdFolders)));
    EnDisMDI(true);
    AskToPointOutputsHere();
}

void MainWindow::AskToPointOutputsHere() {
    const std::string& folder = project_.projectFolder;
    GenerationSettings settings;
    if (!FileExists(InputPath(folder, kGenerationFile)) ||
        !LoadGenerationSettings(folder, settings))
        return;
    const std::optional<std::string> question = MisplacedOutputQuestion(project_, settings);
    if (!question) return;
    if (context_.ui.Message(this, FromCore(*question), QString::fromLatin1(kApplicationTitle),
                            MessageIcon::Question, MessageButtons::YesNo) != kAnswerYes)
        return;
    OutputsPointed pointed = PointOutputsAtProject(folder);
    if (!pointed.status) ShowFailure(context_.ui, this, FromCore(pointed.status.message()));
}

void MainWindow::OpenProjectCommand() {
    FileDialogRequest request;
    request.title = QStringLiteral("Open Transactor Project...");
    request.filter = QStringLiteral("Transactor Project (*.tp)|*.tp");
    request.folder = project_.projectStage != kStageNoProject ? FromCore(project_.projectFolder)
                                                              : QDir::homePath();
    const QString chosen = context_.ui.OpenFile(this, request);
    if (chosen.isEmpty()) return;
    OpenProjectFile(chosen);
}

void MainWindow::CloseProjectCommand() {
    CloseProject(project_);
    ShowProject();
    EnDisMDI(true);
}

void MainWindow::ShowHelpTopics() {
    help_->ShowHelp(QStringLiteral("Main"));
}

void MainWindow::RefreshMemoryLine() {
    panel2_->setText(QString::fromStdString(MemoryLineText(context_.system.PhysicalMemory())));
}

QAction* MainWindow::MenuItem(AppCommand command) const {
    return menuItems_.at(command);
}

QMenu* MainWindow::Menu(const char* name) const {
    return menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

QAction* MainWindow::ToolbarButton(int number) const {
    const QList<QAction*> buttons = toolbar_->actions();
    if (number < 1 || number > buttons.size()) return nullptr;
    return buttons[number - 1];
}

QLabel* MainWindow::StatusPanel(int number) const {
    return number == 1 ? panel1_ : panel2_;
}

bool MainWindow::CloseDiagramEditors() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* editor = qobject_cast<DiagramEditor*>(window);
        if (editor && editor->isVisible() && !editor->close()) return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!CloseDiagramEditors()) {
        event->ignore();
        return;
    }
    help_->Close();
    event->accept();
}

} // namespace kestrel
