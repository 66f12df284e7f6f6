// The FSM assignment window. The rows come from the core's LoadFsmAssignment and change
// only through its Browse and Unassign rules; the window shows them. Generate ASF Template
// writes the selected function's template through the core and offers to open it in the
// diagram editor, which also opens the last template (Work with Template) and the
// selected function's diagram (Edit Diagram); OK hands the rows to AcceptFsmAssignment.
#include "assign/FormAssignFSM.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "assign/AssignSupport.h"
#include "diagram/DiagramEditor.h"
#include "fsm/AsfTemplate.h"
#include "generate/RunTables.h"
#include "model/ProjectPaths.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrel {

FormAssignFSM* FormAssignFSM::Open(MainWindow& main) {
    auto state = std::make_unique<FsmAssignmentState>();
    if (Status s = LoadFsmAssignment(main.Project().projectFolder, *state); !s) {
        ShowFailure(main.Context().ui, &main, FromCore(s.message()));
        return nullptr;
    }
    return new FormAssignFSM(main, std::move(state));
}

FormAssignFSM::FormAssignFSM(MainWindow& main, std::unique_ptr<FsmAssignmentState> state)
    : QDialog(&main), main_(main), state_(std::move(state)) {
    setObjectName(QStringLiteral("FormAssignFSM"));
    setWindowTitle(FromCore(kFsmAssignCaption));

    auto* templateFrame = new QGroupBox(QStringLiteral("Generate ASF Template"), this);
    templateFrame->setObjectName(QStringLiteral("FrameTemplate"));
    auto* generate = NamedButton("CommandGenTemp", "Generate ASF Template", templateFrame);
    auto* workWith = NamedButton("CommandAHDL", "Work with Template", templateFrame);
    auto* templateLayout = new QHBoxLayout(templateFrame);
    templateLayout->addWidget(generate);
    templateLayout->addWidget(workWith);
    templateLayout->addStretch();

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ListViewAssign"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({QStringLiteral("Function Name"), QStringLiteral("FSM (*.ASF) File"),
                            QStringLiteral("isAssigned")});
    // The assigned mark is a working column of the window, not shown.
    list_->setColumnHidden(2, true);
    list_->setColumnWidth(0, 320);
    list_->header()->setStretchLastSection(true);
    list_->setMinimumSize(640, 220);

    auto* assignFrame =
        new QGroupBox(QStringLiteral("Assign FSM (*.ASF) File to TLM Function"), this);
    assignFrame->setObjectName(QStringLiteral("FrameAssign"));
    auto* browse = NamedButton("CommandBrsASF", "Browse ASF File...", assignFrame);
    auto* unassign = NamedButton("CommandUnAss", "Unassign ASF File", assignFrame);
    auto* editDiagram = NamedButton("CommandEditDiagram", "Edit Diagram...", assignFrame);
    auto* assignLayout = new QHBoxLayout(assignFrame);
    assignLayout->addWidget(browse);
    assignLayout->addWidget(unassign);
    assignLayout->addWidget(editDiagram);
    assignLayout->addStretch();

    QHBoxLayout* buttons = ConfirmCancelRow(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(templateFrame);
    layout->addWidget(list_, 1);
    layout->addWidget(assignFrame);
    layout->addLayout(buttons);

    for (std::size_t i = 0; i < state_->rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(list_);
        if (state_->rows[i].isLibrary)
            for (int column = 0; column < 3; ++column)
                item->setForeground(column, LibraryRowColour());
        ShowRow(static_cast<int>(i));
    }
    // With no function there is no row to select.
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));

    connect(generate, &QPushButton::clicked, this, &FormAssignFSM::GenerateTemplate);
    connect(workWith, &QPushButton::clicked, this, &FormAssignFSM::WorkWithTemplate);
    connect(browse, &QPushButton::clicked, this, &FormAssignFSM::BrowseAsfFile);
    connect(unassign, &QPushButton::clicked, this, &FormAssignFSM::UnassignAsfFileOfRow);
    connect(editDiagram, &QPushButton::clicked, this, &FormAssignFSM::EditDiagram);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { BrowseAsfFile(); });
}

FormAssignFSM::~FormAssignFSM() = default;

int FormAssignFSM::SelectedRow() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

void FormAssignFSM::ShowRow(int row) {
    const FsmAssignmentRow& r = state_->rows[static_cast<std::size_t>(row)];
    QTreeWidgetItem* item = list_->topLevelItem(row);
    item->setText(0, FromCore(r.signature));
    item->setText(1, FromCore(r.asfFile));
    item->setText(2, FromCore(r.assignedMark));
}

void FormAssignFSM::Inform(const InputRefusal& refusal) {
    main_.Context().ui.Message(this, FromCore(refusal.text), FromCore(refusal.ShownTitle()),
                               MessageIcon::Information);
}

void FormAssignFSM::BrowseAsfFile() {
    const int row = SelectedRow();
    if (row < 0) return;
    FsmAssignmentRow& r = state_->rows[static_cast<std::size_t>(row)];
    if (auto refusal = CheckAsfBrowse(r)) {
        Inform(*refusal);
        return;
    }
    UiServices& ui = main_.Context().ui;
    FileDialogRequest request;
    request.title = FromCore(AsfBrowseTitle(r));
    request.filter = AsfFileFilter();
    request.folder = FromCore(main_.Project().projectFolder);
    const QString chosen = ui.OpenFile(this, request);
    if (chosen.isEmpty()) return;
    std::optional<std::string> path = ChosenPath(ui, this, chosen);
    if (!path) return;
    if (auto refusal = CheckAsfFileName(*path)) {
        ShowRefusal(ui, this, *refusal);
        return;
    }
    AssignAsfFile(r, *path);
    ShowRow(row);
}

void FormAssignFSM::UnassignAsfFileOfRow() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (auto refusal = UnassignAsfFile(state_->rows[static_cast<std::size_t>(row)])) {
        Inform(*refusal);
        return;
    }
    ShowRow(row);
}

const FsmAssignmentRow* FormAssignFSM::DrawableRow(int& row) {
    row = SelectedRow();
    if (row < 0) return nullptr;
    const FsmAssignmentRow& r = state_->rows[static_cast<std::size_t>(row)];
    if (r.isLibrary) {
        Inform(LibraryFunctionRefusal(r.functionName));
        return nullptr;
    }
    return &r;
}

void FormAssignFSM::GenerateTemplate() {
    int row = -1;
    const FsmAssignmentRow* drawable = DrawableRow(row);
    if (!drawable) return;
    const FsmAssignmentRow& r = *drawable;
    UiServices& ui = main_.Context().ui;
    const std::string& folder = main_.Project().projectFolder;
    FileDialogRequest request;
    request.title = FromCore(AsfTemplateDialogTitle(r.functionName));
    request.filter = AsfFileFilter();
    request.folder = FromCore(JoinPath(folder, {"Temp"}));
    request.fileName = FromCore(DefaultAsfTemplatePath(folder, r.functionName));
    const QString chosen = ui.SaveFile(this, request);
    if (chosen.isEmpty()) return;
    std::optional<std::string> path = ChosenPath(ui, this, chosen);
    if (!path) return;

    AsfTemplateOutcome outcome =
        GenerateAsfTemplate(folder, row + 1, *path, main_.Context().clock, state_->asf);
    if (outcome.refusal) {
        Inform(*outcome.refusal);
        return;
    }
    if (!outcome.status) {
        ShowFailure(ui, this, FromCore(outcome.status.message()));
        return;
    }
    // A template that could not be written is not reported here: the question is asked
    // all the same, and opening a file that is not there is the editor's to report.
    if (ui.Message(this, FromCore(kOpenAsfTemplateQuestion), FromCore(kOpenAsfTemplateTitle),
                   MessageIcon::None, MessageButtons::YesNo) == kAnswerYes)
        OpenDiagram(chosen, row);
}

void FormAssignFSM::WorkWithTemplate() {
    UiServices& ui = main_.Context().ui;
    if (auto refusal = CheckAsfTemplateExists(state_->asf.asfTemplatePath)) {
        ShowRefusal(ui, this, *refusal);
        return;
    }
    // The template's function is not recorded, so it opens as a diagram of its own.
    OpenDiagram(FromCore(state_->asf.asfTemplatePath), -1);
}

void FormAssignFSM::EditDiagram() {
    int row = -1;
    const FsmAssignmentRow* drawable = DrawableRow(row);
    if (!drawable) return;
    const FsmAssignmentRow& r = *drawable;
    if (r.assignedMark != "1") {
        main_.Context().ui.Message(
            this,
            FromCore(r.functionName) +
                QStringLiteral("() has no ASF file assigned.\nBrowse for one or generate a "
                               "template first."),
            QStringLiteral("Edit Diagram"), MessageIcon::Information);
        return;
    }
    OpenDiagram(FromCore(r.asfFile), row);
}

void FormAssignFSM::OpenDiagram(const QString& path, int row) {
    std::optional<DiagramProject> project;
    QString functionName;
    if (row >= 0) {
        // Without the project's tables the editor still checks the diagram on its own.
        DiagramProject loaded;
        if (LoadRunTables(main_.Project().projectFolder, loaded.tables,
                          AbsentTableFiles::ReadAsEmpty)
                .empty()) {
            loaded.function = row + 1;
            project = std::move(loaded);
        }
        functionName = FromCore(state_->rows[static_cast<std::size_t>(row)].functionName);
    }
    DiagramEditor::Open(main_.Context().ui, path, std::move(project), functionName);
}

void FormAssignFSM::Confirm() {
    ProjectRecord record = main_.Project();
    if (Status s = AcceptFsmAssignment(record, *state_); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    main_.SetProject(record);
    accept();
}

} // namespace kestrel
