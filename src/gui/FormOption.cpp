// The Code Generation Settings window. Opening loads option.dat into the controls; the
// setup and library boxes follow their check boxes; OK hands the controls to the core's
// ApplyCodeSettings, which either refuses (message, the tab and field to correct; the
// comment box may have received its final line break) or stores the options, which are
// then saved.
#include "FormOption.h"

#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "RefusedFields.h"
#include "UiServices.h"
#include "model/ProjectPaths.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kestrel {

namespace {

QLineEdit* NumberBox(const char* name, QWidget* parent) {
    auto* box = NamedWidget<QLineEdit>(name, parent);
    box->setMaximumWidth(90);
    return box;
}

QComboBox* UnitBox(const char* name, QWidget* parent) {
    auto* box = NamedWidget<QComboBox>(name, parent);
    for (std::string_view unit : kTimeUnits)
        box->addItem(QString::fromLatin1(unit.data(), static_cast<qsizetype>(unit.size())));
    return box;
}

// A titled frame holding a time: its number box and its unit box side by side.
QGroupBox* TimeFrame(QWidget* parent, const char* frameName, const char* title,
                     const char* numberName, const char* unitName, QLineEdit*& number,
                     QComboBox*& unit) {
    auto* frame = new QGroupBox(QString::fromLatin1(title), parent);
    frame->setObjectName(QString::fromLatin1(frameName));
    number = NumberBox(numberName, frame);
    unit = UnitBox(unitName, frame);
    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(number);
    layout->addWidget(unit);
    layout->addStretch();
    return frame;
}

} // namespace

FormOption* FormOption::Open(MainWindow& main, QWidget* parent) {
    ProjectOptions options;
    if (Status s = LoadOptions(main.Project().projectFolder, options); !s) {
        ShowFailure(main.Context().ui, parent, FromCore(s.message()));
        return nullptr;
    }
    return new FormOption(main, parent, options);
}

FormOption::FormOption(MainWindow& main, QWidget* parent, const ProjectOptions& options)
    : QDialog(parent), main_(main), options_(options) {
    setObjectName(QStringLiteral("FormOption"));
    setWindowTitle(QStringLiteral("Code Generation Settings"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("SSTabOpt"));

    // Tab 0: the generation method.
    auto* methodTab = new QWidget(tabs_);
    auto* methodFrame = new QGroupBox(QStringLiteral("Transactor Generation Method"), methodTab);
    methodFrame->setObjectName(QStringLiteral("FrameMethod"));
    method_ = new QButtonGroup(this);
    auto* methodLayout = new QVBoxLayout(methodFrame);
    const char* methodCaptions[] = {"Using Graphical FSM", "Using  AsmL Specification",
                                    "Just Generate Transactor Template"};
    for (int i = 1; i <= 3; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(methodCaptions[i - 1]), methodFrame);
        button->setObjectName(QStringLiteral("OptionMethod%1").arg(i));
        method_->addButton(button, i);
        methodLayout->addWidget(button);
    }
    auto* methodTabLayout = new QVBoxLayout(methodTab);
    methodTabLayout->addWidget(methodFrame);
    methodTabLayout->addStretch();
    tabs_->addTab(methodTab, QStringLiteral("Generation Method"));

    // Tab 1: the clock.
    auto* clockTab = new QWidget(tabs_);
    auto* edgeFrame = new QGroupBox(QStringLiteral("State Transition Occures at"), clockTab);
    edgeFrame->setObjectName(QStringLiteral("FrameEdge"));
    clockPositive_ = new QRadioButton(QStringLiteral("(+) ve  Edge of Clock"), edgeFrame);
    clockPositive_->setObjectName(QStringLiteral("OptionClkPos"));
    clockNegative_ = new QRadioButton(QStringLiteral("(-) ve  Edge of Clock"), edgeFrame);
    clockNegative_->setObjectName(QStringLiteral("OptionClkNeg"));
    auto* edgeLayout = new QVBoxLayout(edgeFrame);
    edgeLayout->addWidget(clockPositive_);
    edgeLayout->addWidget(clockNegative_);
    useSetup_ = new QCheckBox(QStringLiteral("Use Setup Time"), clockTab);
    useSetup_->setObjectName(QStringLiteral("CheckSetup"));
    QGroupBox* setupFrame = TimeFrame(clockTab, "FrameSetup", "Setup Time", "TextSetup",
                                      "ComboSetup", setup_, setupUnit_);
    QGroupBox* periodFrame = TimeFrame(clockTab, "FramePeriod", "Clock Period", "TextPeriod",
                                       "ComboPeriod", period_, periodUnit_);
    auto* clockLayout = new QGridLayout(clockTab);
    clockLayout->addWidget(edgeFrame, 0, 0);
    clockLayout->addWidget(periodFrame, 0, 1);
    clockLayout->addWidget(useSetup_, 1, 0);
    clockLayout->addWidget(setupFrame, 1, 1);
    clockLayout->setRowStretch(2, 1);
    tabs_->addTab(clockTab, QStringLiteral("Clock"));

    // Tab 2: the library.
    auto* libraryTab = new QWidget(tabs_);
    makeLibrary_ =
        new QCheckBox(QStringLiteral("Make Library after Transactor Generation"), libraryTab);
    makeLibrary_->setObjectName(QStringLiteral("CheckLib"));
    auto* libraryLabel = new QLabel(QStringLiteral("Library File Name:"), libraryTab);
    libraryFile_ = NamedWidget<QLineEdit>("TextLibFName", libraryTab);
    libraryLabel->setBuddy(libraryFile_);
    browseLibrary_ = new QPushButton(QStringLiteral("..."), libraryTab);
    browseLibrary_->setObjectName(QStringLiteral("CommandSaveAsLib"));
    browseLibrary_->setToolTip(QStringLiteral("Choose where the library is written"));
    auto* libraryFileLayout = new QHBoxLayout;
    libraryFileLayout->addWidget(libraryFile_);
    libraryFileLayout->addWidget(browseLibrary_);
    auto* libraryLayout = new QVBoxLayout(libraryTab);
    libraryLayout->addWidget(makeLibrary_);
    libraryLayout->addWidget(libraryLabel);
    libraryLayout->addLayout(libraryFileLayout);
    libraryLayout->addStretch();
    tabs_->addTab(libraryTab, QStringLiteral("Library"));

    // Tab 3: the banner texts.
    auto* commentTab = new QWidget(tabs_);
    title_ = NamedWidget<QLineEdit>("TextTitle", commentTab);
    author_ = NamedWidget<QLineEdit>("TextAuthor", commentTab);
    company_ = NamedWidget<QLineEdit>("TextCompany", commentTab);
    comment_ = new QPlainTextEdit(commentTab);
    comment_->setObjectName(QStringLiteral("TextCom"));
    comment_->setTabChangesFocus(true);
    commentInHeaders_ = new QCheckBox(QStringLiteral("Use Comment in Header Files"), commentTab);
    commentInHeaders_->setObjectName(QStringLiteral("CheckH"));
    auto* commentLayout = new QFormLayout(commentTab);
    commentLayout->addRow(QStringLiteral("Title:"), title_);
    commentLayout->addRow(QStringLiteral("Author:"), author_);
    commentLayout->addRow(QStringLiteral("Company:"), company_);
    commentLayout->addRow(QStringLiteral("Comment:"), comment_);
    commentLayout->addRow(QString(), commentInHeaders_);
    tabs_->addTab(commentTab, QStringLiteral("Comment"));

    QHBoxLayout* buttons = ConfirmCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(useSetup_, &QCheckBox::toggled, this, &FormOption::ApplyEnablingRules);
    connect(makeLibrary_, &QCheckBox::toggled, this, &FormOption::ApplyEnablingRules);
    connect(browseLibrary_, &QPushButton::clicked, this, &FormOption::BrowseLibrary);

    ShowDraft(DraftFromOptions(options_));
    ApplyEnablingRules();
    tabs_->setCurrentIndex(0); // the method
}

void FormOption::ShowDraft(const CodeSettingsDraft& d) {
    if (QAbstractButton* button = method_->button(d.method)) button->setChecked(true);
    clockPositive_->setChecked(d.clockPositiveEdge);
    clockNegative_->setChecked(!d.clockPositiveEdge);
    useSetup_->setChecked(d.useSetup);
    setup_->setText(FromCore(d.setupText));
    setupUnit_->setCurrentIndex(d.setupUnitIndex);
    period_->setText(FromCore(d.periodText));
    periodUnit_->setCurrentIndex(d.periodUnitIndex);
    makeLibrary_->setChecked(d.makeLibrary);
    libraryFile_->setText(FromCore(d.libraryFile));
    title_->setText(FromCore(d.title));
    author_->setText(FromCore(d.author));
    company_->setText(FromCore(d.company));
    comment_->setPlainText(MultiLineFromCore(d.comment));
    commentInHeaders_->setChecked(d.useCommentInHeaders);
}

CodeSettingsDraft FormOption::Draft() const {
    CodeSettingsDraft d;
    d.method = method_->checkedId() > 0 ? method_->checkedId() : 0;
    d.clockPositiveEdge = clockPositive_->isChecked();
    d.useSetup = useSetup_->isChecked();
    d.setupText = ToCore(setup_->text());
    d.setupUnitIndex = setupUnit_->currentIndex();
    d.periodText = ToCore(period_->text());
    d.periodUnitIndex = periodUnit_->currentIndex();
    d.makeLibrary = makeLibrary_->isChecked();
    d.libraryFile = ToCore(libraryFile_->text());
    d.title = ToCore(title_->text());
    d.author = ToCore(author_->text());
    d.company = ToCore(company_->text());
    d.comment = MultiLineToCore(comment_->toPlainText());
    d.useCommentInHeaders = commentInHeaders_->isChecked();
    return d;
}

void FormOption::ApplyEnablingRules() {
    setup_->setEnabled(useSetup_->isChecked());
    setupUnit_->setEnabled(useSetup_->isChecked());
    libraryFile_->setEnabled(makeLibrary_->isChecked());
    browseLibrary_->setEnabled(makeLibrary_->isChecked());
}

void FormOption::BrowseLibrary() {
    FileDialogRequest request;
    request.title = QStringLiteral("Save Library File As...");
    request.filter = QStringLiteral("Transactor Library (*.tlib)|*.tlib");
    request.folder = FromCore(JoinPath(main_.Project().projectFolder, {"Output"}));
    const QString chosen = main_.Context().ui.SaveFile(this, request);
    if (!chosen.isEmpty()) libraryFile_->setText(chosen);
}

void FormOption::Confirm() {
    CodeSettingsDraft draft = Draft();
    std::optional<InputRefusal> refusal = ApplyCodeSettings(draft, options_);
    // The comment ends with its line break from now on, accepted or not.
    comment_->setPlainText(MultiLineFromCore(draft.comment));
    if (refusal) {
        ShowRefusal(main_.Context().ui, this, *refusal);
        if (int tab = CodeSettingsTabOf(refusal->field); tab >= 0) tabs_->setCurrentIndex(tab);
        FocusRefusedField(this, refusal->field);
        return;
    }
    if (Status s = SaveOptions(main_.Project().projectFolder, options_); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    accept();
}

} // namespace kestrel
