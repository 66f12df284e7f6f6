// New Project: the two boxes go to the core's NewProject as a draft; the draft comes back
// trimmed (and the location with its final separator) and is shown again. A refusal is a
// message box followed by the focus on the field it names. The Verilog start hands the
// boxes and the panel's fields to the core's MakeProjectFromRtl on a thread of its own (the
// window disabled, the panel showing each step) and opens the project it made as Open
// Project does; its refusals come in one message.
#include "FormNewProject.h"

#include "FromRtlPanel.h"
#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "RefusedFields.h"
#include "UiServices.h"
#include "bus/FromRtl.h"
#include "project/ProjectCommands.h"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

namespace kestrel {

FormNewProject::FormNewProject(MainWindow& main, bool fromRtl) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("FormNewProject"));
    setWindowTitle(QStringLiteral("New Transactor Project"));

    auto* nameLabel = new QLabel(QStringLiteral("Project Name:"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("TextPName"));
    nameLabel->setBuddy(name_);
    auto* locationLabel = new QLabel(QStringLiteral("Location:"), this);
    location_ = new QLineEdit(this);
    location_->setObjectName(QStringLiteral("TextWD"));
    location_->setText(QDir::homePath() + QLatin1Char('/'));
    location_->setMinimumWidth(320);
    locationLabel->setBuddy(location_);
    browse_ = new QPushButton(QStringLiteral("..."), this);
    browse_->setObjectName(QStringLiteral("CommandBrs"));
    browse_->setToolTip(QStringLiteral("Choose the folder that will hold the project"));
    auto* startLabel = new QLabel(QStringLiteral("Start:"), this);
    empty_ = NamedWidget<QRadioButton>("OptionEmpty", this);
    empty_->setText(QStringLiteral("&Empty project"));
    empty_->setToolTip(QStringLiteral("Declare the functions and ports and give the behaviour "
                                      "yourself"));
    fromRtlChoice_ = NamedWidget<QRadioButton>("OptionFromRtl", this);
    fromRtlChoice_->setText(QStringLiteral("From a &Verilog bus slave"));
    fromRtlChoice_->setToolTip(
        QStringLiteral("Make the whole project (ports, functions, behaviour, code settings) "
                       "for a master of the slave's AXI4-Lite, APB or Wishbone port"));
    auto* start = new QButtonGroup(this);
    start->addButton(empty_);
    start->addButton(fromRtlChoice_);
    fromRtl_ = new FromRtlPanel(main.Context().ui, this);

    QHBoxLayout* buttons = ConfirmCancelRow(this);

    auto* fields = new QGridLayout;
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(name_, 0, 1, 1, 2);
    fields->addWidget(locationLabel, 1, 0);
    fields->addWidget(location_, 1, 1);
    fields->addWidget(browse_, 1, 2);
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(empty_);
    startRow->addWidget(fromRtlChoice_);
    startRow->addStretch();
    fields->addWidget(startLabel, 2, 0);
    fields->addLayout(startRow, 2, 1, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(fromRtl_, 1);
    layout->addLayout(buttons);

    connect(browse_, &QPushButton::clicked, this, &FormNewProject::Browse);
    connect(fromRtlChoice_, &QRadioButton::toggled, this, &FormNewProject::ShowStart);
    (fromRtl ? fromRtlChoice_ : empty_)->setChecked(true);
    ShowStart();
}

void FormNewProject::ShowStart() {
    const bool fromRtl = fromRtlChoice_->isChecked();
    fromRtl_->setVisible(fromRtl);
    setWindowTitle(fromRtl ? QStringLiteral("New Transactor Project from Verilog")
                           : QStringLiteral("New Transactor Project"));
    adjustSize();
}

void FormNewProject::Browse() {
    // A cancelled browse leaves the location empty.
    location_->setText(main_.Context().ui.ChooseFolder(this, QStringLiteral("Please Choose a path"),
                                                       location_->text()));
}

void FormNewProject::Confirm() {
    if (fromRtlChoice_->isChecked())
        ConfirmFromRtl();
    else
        ConfirmEmpty();
}

void FormNewProject::ConfirmEmpty() {
    NewProjectDraft draft{ToCore(name_->text()), ToCore(location_->text())};
    ProjectRecord created;
    CommandOutcome outcome = NewProject(draft, main_.Context().system, created);
    name_->setText(FromCore(draft.name));
    location_->setText(FromCore(draft.location));
    if (outcome.refusal) {
        ShowRefusal(main_.Context().ui, this, *outcome.refusal);
        FocusRefusedField(this, outcome.refusal->field);
        return;
    }
    if (!outcome.status) {
        ShowFailure(main_.Context().ui, this, FromCore(outcome.status.message()));
        return;
    }
    main_.SetProject(created);
    accept();
}

void FormNewProject::ConfirmFromRtl() {
    name_->setText(name_->text().trimmed());
    location_->setText(location_->text().trimmed());
    if (fromRtl_->Files().isEmpty()) {
        ShowFailure(main_.Context().ui, this,
                    QStringLiteral("Choose the Verilog files of the bus slave with Files..."));
        return;
    }
    const FromRtlRequest request =
        fromRtl_->Request(ToCore(name_->text()), ToCore(location_->text()));
    // Each step the core announces is shown in the panel, from the maker's thread.
    FromRtlProgress progress = [panel = QPointer<FromRtlPanel>(fromRtl_)](const std::string& line) {
        const QString text = FromCore(line);
        QMetaObject::invokeMethod(
            panel, [panel, text] { panel->ShowProgress(text); }, Qt::QueuedConnection);
    };
    setEnabled(false);
    setCursor(Qt::BusyCursor);
    fromRtl_->ShowProgress({});
    made_ = FromRtlResult{};
    maker_ = QThread::create(
        [this, request, progress] { made_ = MakeProjectFromRtl(request, progress); });
    connect(maker_, &QThread::finished, this, &FormNewProject::OnMade);
    maker_->start();
}

void FormNewProject::OnMade() {
    maker_->wait();
    delete maker_;
    maker_ = nullptr;
    setEnabled(true);
    unsetCursor();
    UiServices& ui = main_.Context().ui;
    if (!made_.ok()) {
        fromRtl_->Reprobe();
        QStringList lines;
        if (!made_.status) lines << MultiLineFromCore(made_.status.message());
        for (const std::string& problem : made_.problems) lines << FromCore(problem);
        ShowFailure(ui, this, lines.join(QLatin1Char('\n')));
        return;
    }
    MainWindow& main = main_;
    const FromRtlResult made = made_;
    accept();
    main.OpenProjectFile(FromCore(made.projectFile));
    QStringList lines;
    for (const std::string& line : made.lines) lines << FromCore(line);
    if (!lines.isEmpty())
        ui.Message(&main, lines.join(QLatin1Char('\n')), QString::fromLatin1(kApplicationTitle),
                   MessageIcon::Information);
}

FormNewProject::~FormNewProject() {
    if (!maker_) return;
    maker_->wait();
    delete maker_;
}

void FormNewProject::done(int result) {
    if (!maker_) QDialog::done(result);
}

} // namespace kestrel
