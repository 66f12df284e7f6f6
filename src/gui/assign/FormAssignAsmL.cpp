// The AsmL assignment window. The two labels show the core's AsmlAssignmentState, changed
// by its Assign and Unassign rules; OK hands it to AcceptAsmlAssignment. Generate AsmL
// Template runs the core's GenerateAsmlTemplate on a thread of its own, so the converter's
// bounded wait never holds the window; its outcome is a refusal, a failure naming the
// document, or the question whether to open the new document.
#include "assign/FormAssignAsmL.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "UiServices.h"
#include "assign/AssignSupport.h"
#include "platform/FileSystem.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

FormAssignAsmL* FormAssignAsmL::Open(MainWindow& main, const DocumentConverter& converter) {
    AsmlAssignmentState state;
    if (Status s = LoadAsmlAssignmentState(main.Project().projectFolder, state); !s) {
        ShowFailure(main.Context().ui, &main, FromCore(s.message()));
        return nullptr;
    }
    return new FormAssignAsmL(main, converter, state);
}

FormAssignAsmL::FormAssignAsmL(MainWindow& main, const DocumentConverter& converter,
                               const AsmlAssignmentState& state)
    : QDialog(&main), main_(main), converter_(converter), state_(state) {
    setObjectName(QStringLiteral("FormAssignAsmL"));
    setWindowTitle(FromCore(kAsmlAssignCaption));

    auto* templateFrame =
        new QGroupBox(QStringLiteral("Generate AsmL Specification Template"), this);
    templateFrame->setObjectName(QStringLiteral("FrameTemplate"));
    auto* generate = NamedButton("CommandGenTemp", "Generate AsmL Template", templateFrame);
    auto* workWith = NamedButton("CommandMSWord", "Work with Template", templateFrame);
    wait_ = new QProgressBar(templateFrame);
    wait_->setObjectName(QStringLiteral("ProgressBarWait"));
    wait_->setTextVisible(false);
    wait_->setRange(0, 1);
    wait_->setValue(0);
    wait_->setToolTip(QStringLiteral("Making the template document"));
    auto* templateLayout = new QHBoxLayout(templateFrame);
    templateLayout->addWidget(generate);
    templateLayout->addWidget(workWith);
    templateLayout->addWidget(wait_, 1);

    auto* assignFrame = new QGroupBox(QStringLiteral("Assign AsmL Specification"), this);
    assignFrame->setObjectName(QStringLiteral("FrameAssign"));
    auto* caption = new QLabel(QStringLiteral("AsmL Specification Filename:"), assignFrame);
    documentLabel_ = new QLabel(assignFrame);
    documentLabel_->setObjectName(QStringLiteral("LabelAsmLFName"));
    documentLabel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    documentLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    documentLabel_->setMinimumWidth(420);
    assignedMark_ = new QLabel(assignFrame);
    assignedMark_->setObjectName(QStringLiteral("LabelIsAssigned"));
    assignedMark_->setVisible(false);
    auto* browse = NamedButton("CommandBrs", "Assign...", assignFrame);
    auto* unassign = NamedButton("CommandUnAss", "Unassign", assignFrame);
    auto* assignLayout = new QGridLayout(assignFrame);
    assignLayout->addWidget(caption, 0, 0, 1, 3);
    assignLayout->addWidget(documentLabel_, 1, 0, 1, 3);
    assignLayout->addWidget(assignedMark_, 2, 0);
    assignLayout->setColumnStretch(0, 1);
    assignLayout->addWidget(browse, 2, 1);
    assignLayout->addWidget(unassign, 2, 2);

    QHBoxLayout* buttons = ConfirmCancelRow(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(templateFrame);
    layout->addWidget(assignFrame);
    layout->addLayout(buttons);

    connect(generate, &QPushButton::clicked, this, &FormAssignAsmL::GenerateTemplate);
    connect(workWith, &QPushButton::clicked, this, &FormAssignAsmL::WorkWithTemplate);
    connect(browse, &QPushButton::clicked, this, &FormAssignAsmL::AssignDocument);
    connect(unassign, &QPushButton::clicked, this, &FormAssignAsmL::UnassignDocument);

    ShowState();
}

void FormAssignAsmL::ShowState() {
    documentLabel_->setText(FromCore(state_.documentLabel));
    assignedMark_->setText(FromCore(state_.assignedMark));
}

void FormAssignAsmL::GenerateTemplate() {
    UiServices& ui = main_.Context().ui;
    const std::string& current = state_.record.asmlDocumentPath;
    FileDialogRequest request;
    request.title = FromCore(kSaveAsmlTemplateTitle);
    request.filter = AsmlDocumentFilter();
    request.folder = FromCore(BeforeLastSeparator(current));
    request.fileName = FromCore(current);
    const QString chosen = ui.SaveFile(this, request);
    if (chosen.isEmpty()) return;
    std::optional<std::string> path = ChosenPath(ui, this, chosen);
    if (!path) return;
    if (auto refusal = CheckAsmlTemplatePath(*path)) {
        ShowRefusal(ui, this, *refusal);
        return;
    }

    // The converter may take a while: it runs beside the event loop, with the busy bar.
    const std::string folder = main_.Project().projectFolder;
    AsmlAssignment working = state_.record;
    CommandOutcome outcome;
    busy_ = true;
    wait_->setRange(0, 0);
    RunWithoutBlocking(this,
                       [&] { outcome = GenerateAsmlTemplate(folder, *path, working, converter_); });
    wait_->setRange(0, 1);
    wait_->setValue(0);
    busy_ = false;
    // The template path is the chosen one from now on, even when the converter failed.
    state_.record.asmlDocumentPath = working.asmlDocumentPath;

    if (outcome.refusal) {
        ShowRefusal(ui, this, *outcome.refusal);
        return;
    }
    if (!outcome.status) {
        ShowFailure(ui, this, FromCore(outcome.status.message()));
        return;
    }
    if (ui.Message(this, FromCore(kOpenAsmlTemplateQuestion), FromCore(kOpenAsmlTemplateTitle),
                   MessageIcon::None, MessageButtons::YesNo) == kAnswerYes)
        ui.OpenDocument(chosen);
}

void FormAssignAsmL::WorkWithTemplate() {
    UiServices& ui = main_.Context().ui;
    if (auto refusal = CheckAsmlTemplateExists(state_.record.asmlDocumentPath)) {
        ShowRefusal(ui, this, *refusal);
        return;
    }
    ui.OpenDocument(FromCore(state_.record.asmlDocumentPath));
}

void FormAssignAsmL::AssignDocument() {
    UiServices& ui = main_.Context().ui;
    FileDialogRequest request;
    request.title = FromCore(kAssignAsmlTitle);
    request.filter = AsmlDocumentFilter();
    request.folder = FromCore(main_.Project().projectFolder);
    const QString chosen = ui.OpenFile(this, request);
    if (chosen.isEmpty()) return;
    std::optional<std::string> path = ChosenPath(ui, this, chosen);
    if (!path) return;
    AssignAsmlDocument(state_, *path);
    ShowState();
}

void FormAssignAsmL::UnassignDocument() {
    UnassignAsmlDocument(state_);
    ShowState();
}

void FormAssignAsmL::Confirm() {
    ProjectRecord record = main_.Project();
    if (Status s = AcceptAsmlAssignment(record, state_); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    main_.SetProject(record);
    accept();
}

void FormAssignAsmL::reject() {
    if (busy_) return; // the converter's wait ends by itself
    QDialog::reject();
}

void FormAssignAsmL::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace kestrel
