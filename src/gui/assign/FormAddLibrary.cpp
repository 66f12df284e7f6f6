// The Add Library window. It works on the core's AddLibraryState: the folder and its
// library files come from ShowLibraryFolder, Add Library runs the core's AddLibrary on a
// thread of its own under the wait cursor (the entry list and the progress bar follow it
// through queued calls), and OK hands the state to AcceptAddLibrary.
#include "assign/FormAddLibrary.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "assign/AssignSupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

// Reports an import running on another thread to the window, through its event queue.
class QueuedImportObserver final : public LibraryImportObserver {
public:
    QueuedImportObserver(QListWidget* entries, QProgressBar* progress)
        : entries_(entries), progress_(progress) {}

    void OnEntries(const std::vector<std::string>& names) override {
        QStringList shown;
        for (const std::string& name : names) shown << FromCore(name);
        QPointer<QListWidget> entries = entries_;
        QMetaObject::invokeMethod(
            entries_,
            [entries, shown] {
                if (!entries) return;
                entries->clear();
                entries->addItems(shown);
            },
            Qt::QueuedConnection);
    }
    void OnProgress(int value, int maximum) override {
        QPointer<QProgressBar> progress = progress_;
        QMetaObject::invokeMethod(
            progress_,
            [progress, value, maximum] {
                if (!progress) return;
                progress->setRange(0, maximum);
                progress->setValue(value);
            },
            Qt::QueuedConnection);
    }

private:
    QListWidget* entries_;
    QProgressBar* progress_;
};

} // namespace

FormAddLibrary* FormAddLibrary::Open(MainWindow& main) {
    auto state = std::make_unique<AddLibraryState>();
    if (Status s = LoadAddLibrary(main.Project().projectFolder, *state); !s) {
        ShowFailure(main.Context().ui, &main, FromCore(s.message()));
        return nullptr;
    }
    return new FormAddLibrary(main, std::move(state));
}

FormAddLibrary::FormAddLibrary(MainWindow& main, std::unique_ptr<AddLibraryState> state)
    : QDialog(&main), main_(main), state_(std::move(state)) {
    setObjectName(QStringLiteral("FormAddLibrary"));
    setWindowTitle(QStringLiteral("Add Transactor Library"));

    auto* folderCaption = new QLabel(QStringLiteral("Library Folder:"), this);
    folder_ = new QLabel(this);
    folder_->setObjectName(QStringLiteral("LabelLibFolder"));
    folder_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    folder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder_->setMinimumWidth(360);
    auto* browse = NamedButton("CommandBrsLibFolder", "Browse...", this);
    browse->setToolTip(QStringLiteral("Choose the folder that holds the libraries"));

    auto* filesCaption = new QLabel(QStringLiteral("Transactor Libraries (*.tlib):"), this);
    files_ = new QListWidget(this);
    files_->setObjectName(QStringLiteral("FileLib"));
    files_->setSelectionMode(QAbstractItemView::SingleSelection);
    filesCaption->setBuddy(files_);
    add_ = NamedButton("CommandAddLib", "Add Library", this);

    auto* entriesCaption = new QLabel(QStringLiteral("Library Contents:"), this);
    entries_ = new QListWidget(this);
    entries_->setObjectName(QStringLiteral("ListExtract"));
    entries_->setSelectionMode(QAbstractItemView::NoSelection);
    entriesCaption->setBuddy(entries_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBarAddLib"));
    progress_->setTextVisible(false);
    progress_->setRange(0, 1);
    progress_->setValue(0);

    QHBoxLayout* buttons = ConfirmCancelRow(this);

    auto* grid = new QGridLayout;
    grid->addWidget(folderCaption, 0, 0, 1, 2);
    grid->addWidget(folder_, 1, 0);
    grid->addWidget(browse, 1, 1);
    grid->addWidget(filesCaption, 2, 0);
    grid->addWidget(entriesCaption, 2, 1);
    grid->addWidget(files_, 3, 0);
    grid->addWidget(entries_, 3, 1);
    grid->addWidget(add_, 4, 0, Qt::AlignLeft);
    grid->addWidget(progress_, 5, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    resize(620, 420);

    connect(browse, &QPushButton::clicked, this, &FormAddLibrary::BrowseFolder);
    connect(add_, &QPushButton::clicked, this, &FormAddLibrary::AddSelectedLibrary);

    ShowFolder();
}

FormAddLibrary::~FormAddLibrary() = default;

void FormAddLibrary::ShowFolder() {
    folder_->setText(FromCore(state_->folder));
    files_->clear();
    for (const std::string& file : state_->files) files_->addItem(FromCore(file));
    if (files_->count() > 0) files_->setCurrentRow(0);
    EnDisAddLib();
}

void FormAddLibrary::EnDisAddLib() {
    add_->setEnabled(CanAddLibrary(*state_));
}

void FormAddLibrary::BrowseFolder() {
    UiServices& ui = main_.Context().ui;
    const QString chosen = ui.ChooseFolder(this, QStringLiteral("Please Choose Library Folder"),
                                           FromCore(state_->folder));
    if (chosen.isEmpty()) return;
    std::optional<std::string> folder = ChosenPath(ui, this, chosen);
    if (!folder) return;
    ShowLibraryFolder(*state_, *folder);
    ShowFolder();
}

void FormAddLibrary::AddSelectedLibrary() {
    QListWidgetItem* selected = files_->currentItem();
    if (!selected) return;
    const std::string file = ToCore(selected->text());
    const std::string projectFolder = main_.Project().projectFolder;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
    entries_->clear();
    QueuedImportObserver observer(entries_, progress_);
    AddLibraryOutcome outcome;
    RunWithoutBlocking(this,
                       [&] { outcome = AddLibrary(projectFolder, *state_, file, &observer); });
    busy_ = false;
    QApplication::restoreOverrideCursor();

    main_.Context().ui.Message(this, FromCore(outcome.text), FromCore(outcome.title),
                               outcome.added ? MessageIcon::Information : MessageIcon::Critical);
}

void FormAddLibrary::Confirm() {
    ProjectRecord record = main_.Project();
    if (Status s = AcceptAddLibrary(record, *state_); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    main_.SetProject(record);
    accept();
}

void FormAddLibrary::reject() {
    if (busy_) return; // an extraction ends by itself
    QDialog::reject();
}

void FormAddLibrary::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace kestrel
