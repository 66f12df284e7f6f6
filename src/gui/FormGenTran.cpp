// The Generate window. Opening loads gen.dat into the five boxes. Generate runs the core's
// Generate with the boxes as typed, under the wait cursor; the window follows the log
// (text appended at the end and kept in view, progress bar) and repaints during the run.
// OK saves the boxes trimmed; the settings button opens the Code Generation Settings
// window with this window disabled until it closes. Simulate hands the run to a
// SimulationRunner and shows what it reports as it comes; the window stays usable, and
// closing it stops the run. A run that wrote them offers its transactions.cpp and its
// waveform. The socket row reads the project's tlm2.json; Socket... (or checking the box
// of a project without a mapping) opens FormTlm2, and the row shows what it kept. The RTL
// row starts from the project's rtl.json and keeps what RTL Files... and Clear choose. The
// protocol row reads protocol.json once: its choice is shown, not changed, here.
#include "FormGenTran.h"

#include "DialogPlacement.h"
#include "FormOption.h"
#include "FormTlm2.h"
#include "GuiText.h"
#include "GuiWidgets.h"
#include "MainWindow.h"
#include "SimulationRunner.h"
#include "UiServices.h"
#include "bus/BusMonitor.h"
#include "diagram/DiagramEditor.h"
#include "generate/Generate.h"
#include "generate/RunTables.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "project/FsmAssignment.h"
#include "project/OutputPlacement.h"
#include "sim/CompilerDiagnostics.h"
#include "sim/RtlChoice.h"
#include "sim/Testbench.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {

namespace {

QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = NamedWidget<QLineEdit>(name, parent);
    box->setMinimumWidth(360);
    return box;
}

// The status box shows at least this many lines, and this many at the window's first
// size where the screen has room for them.
constexpr int kStatusMinimumLines = 8;
constexpr int kStatusLines = 24;

QPushButton* BrowseButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMaximumWidth(36);
    return button;
}

} // namespace

bool IsFixedPitch(const QFont& font) {
    // The flag comes from the font file; the advances are what lines up the columns.
    const QFontMetrics metrics(font);
    return QFontInfo(font).fixedPitch() && metrics.horizontalAdvance(QLatin1Char('i')) ==
                                               metrics.horizontalAdvance(QLatin1Char('W'));
}

QFont FixedPitchFont(const QFont& preferred) {
    if (IsFixedPitch(preferred)) return preferred;
    // The desktop's monospace choice can name a proportional font (or none at all): the
    // families Debian's font packages install, then any fixed-pitch family there is.
    const QStringList known = {
        QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
        QStringLiteral("Noto Mono"),        QStringLiteral("Courier New"),
        QStringLiteral("Nimbus Mono PS"),   QStringLiteral("FreeMono")};
    QStringList families = QFontDatabase::families();
    QStringList candidates;
    for (const QString& family : known)
        if (families.contains(family)) candidates << family;
    for (const QString& family : families)
        if (QFontDatabase::isFixedPitch(family) && !candidates.contains(family))
            candidates << family;
    for (const QString& family : candidates) {
        QFont font = preferred;
        font.setFamilies({family});
        font.setStyleHint(QFont::TypeWriter);
        if (IsFixedPitch(font)) return font;
    }
    return preferred;
}

QFont StatusFont() {
    return FixedPitchFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

FormGenTran* FormGenTran::Open(MainWindow& main) {
    GenerationSettings settings;
    if (Status s = LoadGenerationSettings(main.Project().projectFolder, settings); !s) {
        ShowFailure(main.Context().ui, &main, FromCore(s.message()));
        return nullptr;
    }
    return new FormGenTran(main, settings);
}

FormGenTran::FormGenTran(MainWindow& main, const GenerationSettings& settings)
    : QDialog(&main), main_(main), log_(main.Context().session.log) {
    setObjectName(QStringLiteral("FormGenTran"));
    setWindowTitle(QStringLiteral("Generate SystemC Transactor"));

    auto* outputFrame =
        new QGroupBox(QStringLiteral("Output Transactor Classes and File Names"), this);
    outputFrame->setObjectName(QStringLiteral("FrameOutput"));
    transactorClass_ = Box("TextTCName", outputFrame);
    interfaceClass_ = Box("TextAICName", outputFrame);
    cppPath_ = Box("TextTCPPFName", outputFrame);
    headerPath_ = Box("TextTHFName", outputFrame);
    interfaceHeaderPath_ = Box("TextAICHFName", outputFrame);
    auto* browseCpp = BrowseButton("CommandSaveAsTCPP", outputFrame);
    auto* browseHeader = BrowseButton("CommandSaveAsTH", outputFrame);
    auto* browseInterface = BrowseButton("CommandSaveAsAICH", outputFrame);
    auto* settingsButton =
        new QPushButton(QStringLiteral("Code Generation Settings..."), outputFrame);
    settingsButton->setObjectName(QStringLiteral("CommandSet"));
    auto* outputLayout = new QGridLayout(outputFrame);
    auto addRow = [&](int row, const char* label, QLineEdit* box, QPushButton* browse) {
        auto* caption = new QLabel(QString::fromLatin1(label), outputFrame);
        caption->setBuddy(box);
        outputLayout->addWidget(caption, row, 0);
        outputLayout->addWidget(box, row, 1);
        if (browse) outputLayout->addWidget(browse, row, 2);
    };
    addRow(0, "Transactor Class Name:", transactorClass_, nullptr);
    addRow(1, "Abstract Interface Class Name:", interfaceClass_, nullptr);
    addRow(2, "Transactor C++ (*.cpp) File Name:", cppPath_, browseCpp);
    addRow(3, "Transactor Header (*.h) File Name:", headerPath_, browseHeader);
    addRow(4, "TLM Interface Header (*.h) File Name:", interfaceHeaderPath_, browseInterface);
    auto* settingsRow = new QHBoxLayout;
    settingsRow->addStretch();
    settingsRow->addWidget(settingsButton);
    outputLayout->addLayout(settingsRow, 5, 0, 1, 3);

    auto* generateFrame = new QGroupBox(QStringLiteral("Generate Transactor"), this);
    generateFrame->setObjectName(QStringLiteral("FrameGenerate"));
    auto* generate = new QPushButton(QStringLiteral("Generate SystemC Transactor"), generateFrame);
    generate->setObjectName(QStringLiteral("CommandGen"));
    progress_ = new QProgressBar(generateFrame);
    progress_->setObjectName(QStringLiteral("ProgressBarGen"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    auto* statusLabel = new QLabel(QStringLiteral("Status:"), generateFrame);
    status_ = new QPlainTextEdit(generateFrame);
    status_->setObjectName(QStringLiteral("TextStatus"));
    status_->setReadOnly(true);
    status_->setLineWrapMode(QPlainTextEdit::NoWrap);
    status_->setFont(StatusFont());
    status_->setMinimumHeight(kStatusMinimumLines * QFontMetrics(status_->font()).lineSpacing());
    statusLabel->setBuddy(status_);
    generate_ = generate;
    simulate_ = NamedButton("CommandSimulate", "Simulate", generateFrame);
    simulate_->setToolTip(
        QStringLiteral("Build the testbench of the generated transactor and run the simulation"));
    tlm2_ = new QCheckBox(QStringLiteral("TLM-2.0 socket"), generateFrame);
    tlm2_->setObjectName(QStringLiteral("CheckTlm2"));
    tlm2_->setToolTip(QStringLiteral("Simulate through the TLM-2.0 target socket module"));
    checkProtocol_ = new QCheckBox(QStringLiteral("Check protocol"), generateFrame);
    checkProtocol_->setObjectName(QStringLiteral("CheckProtocol"));
    checkProtocol_->setToolTip(QStringLiteral(
        "Watch the bus between the transactor and the RTL on every clock edge and report "
        "each broken rule of the protocol"));
    QGridLayout* simulateRows = SimulateRows(generateFrame);
    errorsLabel_ =
        new QLabel(QStringLiteral("Build errors (click one to open it):"), generateFrame);
    errors_ = new QListWidget(generateFrame);
    errors_->setObjectName(QStringLiteral("ListBuildErrors"));
    errors_->setFont(StatusFont());
    errors_->setMaximumHeight(120);
    errors_->viewport()->setCursor(Qt::PointingHandCursor);
    errorsLabel_->setBuddy(errors_);
    errorsLabel_->hide();
    errors_->hide();
    editTransactions_ =
        NamedButton("CommandEditTransactions", "Edit transactions.cpp", generateFrame);
    openWaveform_ = NamedButton("CommandOpenWaveform", "Open Waveform", generateFrame);
    editTransactions_->hide();
    openWaveform_->hide();
    auto* generateRow = new QHBoxLayout;
    generateRow->addWidget(generate);
    generateRow->addWidget(simulate_);
    generateRow->addWidget(tlm2_);
    generateRow->addWidget(checkProtocol_);
    generateRow->addWidget(progress_, 1);
    auto* generateLayout = new QVBoxLayout(generateFrame);
    generateLayout->addLayout(generateRow);
    generateLayout->addLayout(simulateRows);
    generateLayout->addWidget(statusLabel);
    generateLayout->addWidget(status_, 1);
    generateLayout->addWidget(errorsLabel_);
    generateLayout->addWidget(errors_);
    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(editTransactions_);
    resultRow->addWidget(openWaveform_);
    resultRow->addStretch();
    generateLayout->addLayout(resultRow);

    QHBoxLayout* buttons = ConfirmCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outputFrame);
    layout->addWidget(generateFrame, 1);
    layout->addLayout(buttons);
    resize(720, 600);

    transactorClass_->setText(FromCore(settings.transactorClassName));
    interfaceClass_->setText(FromCore(settings.interfaceClassName));
    cppPath_->setText(FromCore(settings.transactorCppPath));
    headerPath_->setText(FromCore(settings.transactorHeaderPath));
    interfaceHeaderPath_->setText(FromCore(settings.interfaceHeaderPath));

    const QString header = QStringLiteral("C++ Header File (*.h)|*.h");
    connect(browseInterface, &QPushButton::clicked, this, [this, header] {
        Browse(interfaceHeaderPath_,
               QStringLiteral("Save Abstract Interface Class Header File As..."), header);
    });
    connect(browseHeader, &QPushButton::clicked, this, [this, header] {
        Browse(headerPath_, QStringLiteral("Save Transactor Header File As..."), header);
    });
    connect(browseCpp, &QPushButton::clicked, this, [this] {
        Browse(cppPath_, QStringLiteral("Save Transactor C++ File As..."),
               QStringLiteral("C++ File (*.cpp)|*.cpp"));
    });
    connect(settingsButton, &QPushButton::clicked, this, &FormGenTran::OpenCodeSettings);
    connect(generate, &QPushButton::clicked, this, &FormGenTran::RunGenerate);

    runner_ = new SimulationRunner(this);
    connect(simulate_, &QPushButton::clicked, this, &FormGenTran::Simulate);
    connect(rtlChoose_, &QPushButton::clicked, this, &FormGenTran::ChooseRtlFiles);
    connect(rtlClear_, &QPushButton::clicked, this, [this] {
        rtlFiles_.clear();
        rtlTop_.clear();
        KeepRtlFiles();
        ShowRtlFiles();
    });
    connect(tlm2_, &QCheckBox::toggled, this, &FormGenTran::OnSocketToggled);
    connect(tlm2Button_, &QPushButton::clicked, this, &FormGenTran::OpenSocket);
    connect(runner_, &SimulationRunner::Output, this, &FormGenTran::AppendStatus);
    connect(runner_, &SimulationRunner::Finished, this, &FormGenTran::OnSimulationFinished);
    connect(editTransactions_, &QPushButton::clicked, this, &FormGenTran::EditTransactions);
    connect(openWaveform_, &QPushButton::clicked, this, &FormGenTran::OpenWaveform);
    connect(errors_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = errors_->row(item);
        if (row >= 0 && row < errorLinks_.size()) OpenBuildError(errorLinks_[row]);
    });
    connect(checkProtocol_, &QCheckBox::toggled, this, &FormGenTran::ShowProtocolCheck);
    LoadRtlFiles();
    ShowRtlFiles();
    ShowSocketMapping(true);
    LoadProtocolCheck();
    UpdateSimulate();

    log_.SetObserver(this);
}

QGridLayout* FormGenTran::SimulateRows(QWidget* frame) {
    auto* rtlCaption = new QLabel(QStringLiteral("RTL for Simulate:"), frame);
    rtlLabel_ = new QLabel(frame);
    rtlLabel_->setObjectName(QStringLiteral("LabelRtl"));
    rtlChoose_ = NamedButton("CommandRtlFiles", "RTL Files...", frame);
    rtlClear_ = NamedButton("CommandRtlClear", "Clear", frame);
    rtlClear_->setToolTip(QStringLiteral("Simulate against the SystemC model rtl.h"));
    auto* socketCaption = new QLabel(QStringLiteral("Socket mapping:"), frame);
    tlm2Label_ = new QLabel(frame);
    tlm2Label_->setObjectName(QStringLiteral("LabelTlm2"));
    tlm2Label_->setWordWrap(true);
    tlm2Label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tlm2Button_ = NamedButton("CommandTlm2", "Socket...", frame);
    tlm2Button_->setToolTip(QStringLiteral(
        "Choose the write and read functions and the parameters the TLM-2.0 socket drives"));
    auto* rows = new QGridLayout;
    rows->addWidget(rtlCaption, 0, 0);
    rows->addWidget(rtlLabel_, 0, 1);
    rows->addWidget(rtlChoose_, 0, 2);
    rows->addWidget(rtlClear_, 0, 3);
    rows->addWidget(socketCaption, 1, 0);
    rows->addWidget(tlm2Label_, 1, 1);
    rows->addWidget(tlm2Button_, 1, 2);
    rows->addWidget(new QLabel(QStringLiteral("Protocol check:"), frame), 2, 0);
    rows->addLayout(ProtocolRow(frame), 2, 1, 1, 3);
    rows->setColumnStretch(1, 1);
    return rows;
}

QHBoxLayout* FormGenTran::ProtocolRow(QWidget* frame) {
    protocol_ = NamedWidget<QComboBox>("ComboCheckProtocol", frame);
    for (BusProtocol protocol : {BusProtocol::Axi4Lite, BusProtocol::Apb, BusProtocol::Wishbone})
        protocol_->addItem(FromCore(BusProtocolTitle(protocol)), static_cast<int>(protocol));
    auto* prefixCaption = new QLabel(QStringLiteral("Prefix:"), frame);
    protocolPrefix_ = NamedWidget<QLineEdit>("TextCheckPrefix", frame);
    protocolPrefix_->setPlaceholderText(QStringLiteral("found from the ports"));
    protocolPrefix_->setMinimumWidth(180);
    prefixCaption->setBuddy(protocolPrefix_);
    protocolLabel_ = NamedWidget<QLabel>("LabelProtocol", frame);
    protocolLabel_->setWordWrap(true);
    auto* row = new QHBoxLayout;
    row->addWidget(protocol_);
    row->addWidget(prefixCaption);
    row->addWidget(protocolPrefix_);
    row->addWidget(protocolLabel_, 1);
    return row;
}

FormGenTran::~FormGenTran() {
    runner_->StopAndWait();
    if (log_.Observer() == this) log_.SetObserver(nullptr);
}

GenerationSettings FormGenTran::Boxes() const {
    GenerationSettings boxes;
    boxes.transactorClassName = ToCore(transactorClass_->text());
    boxes.interfaceClassName = ToCore(interfaceClass_->text());
    boxes.transactorCppPath = ToCore(cppPath_->text());
    boxes.transactorHeaderPath = ToCore(headerPath_->text());
    boxes.interfaceHeaderPath = ToCore(interfaceHeaderPath_->text());
    return boxes;
}

void FormGenTran::Browse(QLineEdit* box, const QString& title, const QString& filter) {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.folder = FromCore(JoinPath(main_.Project().projectFolder, {"Output"}));
    const QString chosen = main_.Context().ui.SaveFile(this, request);
    if (!chosen.isEmpty()) box->setText(chosen);
}

void FormGenTran::RunGenerate() {
    if (IsSimulating()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    GenerateRequest request;
    request.projectFolder = main_.Project().projectFolder;
    request.projectName = main_.Project().projectName;
    request.settings = Boxes();
    AppContext& context = main_.Context();
    log_.SetObserver(this);
    Generate(request, context.session, context.clock, context.routes);
    QApplication::restoreOverrideCursor();
    // The socket module is not the log's: said after it, as kestrel-cli generate says it.
    const SocketModuleOutcome& socket = context.session.socket;
    if (!socket.written.empty())
        AppendStatus(QStringLiteral("wrote %1\n").arg(FromCore(socket.written)));
    for (const std::string& problem : socket.problems)
        AppendStatus(
            QStringLiteral("warning: TLM-2.0 socket not written: %1\n").arg(FromCore(problem)));
    ShowSocketMapping(false);
    UpdateSimulate();
}

void FormGenTran::Confirm() {
    if (Status s = AcceptGenerateDialog(main_.Project().projectFolder, Boxes()); !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    accept();
}

void FormGenTran::OpenCodeSettings() {
    setEnabled(false);
    FormOption* settings = FormOption::Open(main_, this);
    if (!settings) {
        setEnabled(true);
        return;
    }
    settings->setAttribute(Qt::WA_DeleteOnClose);
    connect(settings, &QDialog::finished, this, [this] { setEnabled(true); });
    PlaceDialog(settings, &main_);
    settings->show();
}

void FormGenTran::OnText(std::string_view appended) {
    QString text = FromCore(appended);
    text.remove(QLatin1Char('\r'));
    AppendStatus(text);
}

void FormGenTran::AppendStatus(const QString& text) {
    QTextCursor cursor = status_->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    status_->setTextCursor(cursor);
    status_->ensureCursorVisible();
}

void FormGenTran::OnProgress(int value, int maximum) {
    progress_->setRange(0, maximum > 0 ? maximum : 1);
    progress_->setValue(maximum > 0 ? value : 0);
    // The run holds the event loop; let the window show how far it is.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FormGenTran::OnReset() {
    status_->clear();
}

bool FormGenTran::IsSimulating() const {
    return runner_->IsRunning();
}

void FormGenTran::UpdateSimulate() {
    const bool running = IsSimulating();
    generate_->setEnabled(!running);
    rtlChoose_->setEnabled(!running);
    tlm2_->setEnabled(!running);
    tlm2Button_->setEnabled(!running);
    checkProtocol_->setEnabled(!running);
    ShowProtocolCheck();
    rtlClear_->setEnabled(!running && (!rtlFiles_.isEmpty() || !rtlLoadFailure_.isEmpty()));
    if (running) {
        simulate_->setText(QStringLiteral("Stop"));
        simulate_->setEnabled(true);
        return;
    }
    simulate_->setText(QStringLiteral("Simulate"));
    // The testbench builds the Tran.cpp of the stored settings, as kestrel-cli sim does.
    GenerationSettings stored;
    const std::string& folder = main_.Project().projectFolder;
    simulate_->setEnabled(LoadGenerationSettings(folder, stored).ok() &&
                          FileExists(OutputFileInProject(folder, stored.transactorCppPath)));
}

void FormGenTran::Simulate() {
    if (IsSimulating()) {
        runner_->Stop();
        simulate_->setEnabled(false); // until the run has ended
        return;
    }
    SimulationRequest request = RunRequest();
    if (Status s = CheckRtlChoiceFiles(
            RtlChoice{request.testbench.rtlFiles, request.testbench.top},
            "choose the files again with RTL Files..., or Clear to simulate rtl.h");
        !s) {
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
        return;
    }
    // Off, no check: a project's protocol.json is read only when the box asks for it.
    if (request.testbench.protocol) {
        if (Status s = ArmProtocolCheck(request.testbench); !s) {
            ShowFailure(main_.Context().ui, this, FromCore(s.message()));
            return;
        }
    }
    status_->clear();
    errorLinks_.clear();
    errors_->clear();
    errorsLabel_->hide();
    errors_->hide();
    openWaveform_->hide();
    progress_->setRange(0, 0); // busy
    runner_->Start(request);
    UpdateSimulate();
}

SimulationRequest FormGenTran::RunRequest() const {
    SimulationRequest request;
    request.testbench.projectFile = ProjectFilePath(main_.Project());
    for (const QString& file : rtlFiles_) request.testbench.rtlFiles.push_back(ToCore(file));
    request.testbench.top = ToCore(rtlTop_);
    request.testbench.compatHeader = FindCompatHeader();
    request.testbench.writer = kWriterWindow;
    request.testbench.tlm2 = ThroughSocket();
    if (const std::optional<ProtocolChoice> check = ProtocolToCheck()) {
        ProtocolCheckRequest protocol;
        protocol.protocol = std::string(BusProtocolName(check->protocol));
        protocol.prefix = check->prefix;
        request.testbench.protocol = protocol;
    }
    return request;
}

void FormGenTran::OnSimulationFinished(const SimulationReport& report) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    AppendStatus(SimulationSummaryText(report));
    const SimulationOutcome& outcome = report.outcome;
    if (!outcome.stopped && !outcome.buildOutput.empty()) {
        // The failed tool's lines and every diagnostic of the output; without any, the
        // output's own lines.
        const std::string text =
            report.diagnostics.empty() ? WithoutEscapes(outcome.buildOutput) : report.diagnostics;
        const QString compiledIn = FromCore(JoinPath(outcome.testbench.folder, {"build"}));
        errorLinks_ = BuildErrorLinks(QString::fromStdString(text), compiledIn);
    }
    QFont linkFont = errors_->font();
    linkFont.setUnderline(true);
    // The places of the project's own files are shown from its folder, so that the
    // message fits in the line; the tooltip has the whole path.
    const QString projectFolder = FromCore(main_.Project().projectFolder) + QLatin1Char('/');
    for (const BuildErrorLink& link : errorLinks_) {
        QString shown = link.text;
        if (shown.startsWith(projectFolder)) shown.remove(0, projectFolder.size());
        auto* item = new QListWidgetItem(shown, errors_);
        item->setFont(linkFont);
        item->setForeground(errors_->palette().color(QPalette::Link));
        item->setToolTip(QStringLiteral("Open %1 at line %2").arg(link.file).arg(link.line));
    }
    errorsLabel_->setVisible(!errorLinks_.isEmpty());
    errors_->setVisible(!errorLinks_.isEmpty());
    ShowResultFiles(outcome);
    UpdateSimulate();
}

void FormGenTran::ShowResultFiles(const SimulationOutcome& outcome) {
    if (!outcome.testbench.folder.empty()) {
        const std::string name = TransactionsFileName(outcome.testbench.plan);
        transactionsFile_ = FromCore(JoinPath(outcome.testbench.folder, {name}));
        editTransactions_->setText(QStringLiteral("Edit %1").arg(FromCore(name)));
    }
    editTransactions_->setVisible(!transactionsFile_.isEmpty() &&
                                  FileExists(ToCore(transactionsFile_)));
    editTransactions_->setToolTip(
        QStringLiteral("Open %1 in the text editor").arg(transactionsFile_));
    waveformFile_ = FromCore(outcome.waveform);
    openWaveform_->setVisible(!outcome.stopped && !waveformFile_.isEmpty() &&
                              FileExists(outcome.waveform));
    openWaveform_->setToolTip(QStringLiteral("Open %1 in GTKWave, or with the desktop's program "
                                             "for it when GTKWave is not installed")
                                  .arg(waveformFile_));
}

void FormGenTran::EditTransactions() {
    UiServices& ui = main_.Context().ui;
    if (!ui.OpenDocument(transactionsFile_))
        ShowFailure(ui, this,
                    QStringLiteral("The desktop has no program to open \"%1\".")
                        .arg(QDir::toNativeSeparators(transactionsFile_)));
}

void FormGenTran::OpenWaveform() {
    UiServices& ui = main_.Context().ui;
    const QString viewer = FromCore(FindProgram("gtkwave"));
    if (!viewer.isEmpty() ? ui.StartProgram(viewer, waveformFile_) : ui.OpenDocument(waveformFile_))
        return;
    ShowFailure(ui, this,
                viewer.isEmpty()
                    ? QStringLiteral("The desktop has no program to open \"%1\": install "
                                     "GTKWave or another VCD viewer.")
                          .arg(QDir::toNativeSeparators(waveformFile_))
                    : QStringLiteral("\"%1\" could not be started.").arg(viewer));
}

void FormGenTran::ChooseRtlFiles() {
    FileDialogRequest request;
    request.title = QStringLiteral("Select the Verilog Files of the RTL");
    request.filter = QStringLiteral("Verilog Files (*.v *.sv)|*.v;*.sv");
    request.folder = FromCore(main_.Project().projectFolder);
    const QStringList chosen = main_.Context().ui.OpenFiles(this, request);
    if (chosen.isEmpty()) return;
    rtlFiles_ = chosen;
    rtlTop_.clear(); // the top of other files
    KeepRtlFiles();
    ShowRtlFiles();
}

void FormGenTran::LoadRtlFiles() {
    std::optional<RtlChoice> kept;
    const Status loaded = LoadRtlChoice(main_.Project().projectFolder, kept);
    rtlLoadFailure_ = loaded ? QString() : FromCore(loaded.message());
    rtlFiles_.clear();
    rtlTop_.clear();
    if (!kept) return;
    for (const std::string& file : kept->files) rtlFiles_ << FromCore(file);
    rtlTop_ = FromCore(kept->top);
}

void FormGenTran::KeepRtlFiles() {
    RtlChoice choice;
    for (const QString& file : rtlFiles_) choice.files.push_back(ToCore(file));
    choice.top = ToCore(rtlTop_);
    if (Status s = SaveRtlChoice(main_.Project().projectFolder, choice); !s)
        ShowFailure(main_.Context().ui, this, FromCore(s.message()));
    else
        rtlLoadFailure_.clear();
}

void FormGenTran::ShowRtlFiles() {
    if (!rtlLoadFailure_.isEmpty()) {
        rtlLabel_->setText(rtlLoadFailure_);
        rtlLabel_->setToolTip(QString());
    } else if (rtlFiles_.isEmpty()) {
        rtlLabel_->setText(QStringLiteral("SystemC model rtl.h in the testbench folder"));
        rtlLabel_->setToolTip(QString());
    } else {
        QStringList names;
        for (const QString& file : rtlFiles_) names << QFileInfo(file).fileName();
        rtlLabel_->setText(
            names.join(QStringLiteral(", ")) +
            (rtlTop_.isEmpty() ? QString() : QStringLiteral(" (top %1)").arg(rtlTop_)));
        rtlLabel_->setToolTip(rtlFiles_.join(QLatin1Char('\n')));
    }
    rtlClear_->setEnabled(!IsSimulating() && (!rtlFiles_.isEmpty() || !rtlLoadFailure_.isEmpty()));
}

bool FormGenTran::ThroughSocket() const {
    return tlm2_->isChecked() && tlm2Mapping_.has_value();
}

void FormGenTran::ShowSocketMapping(bool check) {
    const ProjectRecord& project = main_.Project();
    std::optional<Tlm2Mapping> mapping;
    const Status loaded = LoadTlm2Mapping(project.projectFolder, mapping);
    tlm2Mapping_ = mapping;
    ProjectTables tables;
    if (!loaded)
        tlm2Label_->setText(FromCore(loaded.message()));
    else if (!mapping)
        tlm2Label_->setText(
            QStringLiteral("No socket mapping: Socket... proposes one from the declarations"));
    else if (Status s = LoadProjectLook(project.projectFolder, tables); !s)
        tlm2Label_->setText(FromCore(s.message()));
    else
        tlm2Label_->setText(Tlm2MappingLine(project.projectName, tables, *mapping));
    if (check) {
        const QSignalBlocker quiet(tlm2_);
        tlm2_->setChecked(mapping.has_value());
    }
}

void FormGenTran::LoadProtocolCheck() {
    const Status loaded = LoadProtocolChoice(main_.Project().projectFolder, keptProtocol_);
    protocolLabel_->setText(!loaded ? FromCore(loaded.message())
                            : keptProtocol_
                                ? QStringLiteral("kept with the project (protocol.json)")
                                : QString());
    protocolLabel_->setToolTip(
        keptProtocol_ ? FromCore(ProtocolChoicePath(main_.Project().projectFolder)) : QString());
    if (keptProtocol_) {
        protocol_->setCurrentIndex(protocol_->findData(static_cast<int>(keptProtocol_->protocol)));
        protocolPrefix_->setText(FromCore(keptProtocol_->prefix.value_or(std::string())));
    }
    const QSignalBlocker quiet(checkProtocol_);
    checkProtocol_->setChecked(keptProtocol_.has_value());
    ShowProtocolCheck();
}

void FormGenTran::ShowProtocolCheck() {
    // The kept choice is the project's; the others are chosen for the runs of this window.
    const bool choose = checkProtocol_->isChecked() && !keptProtocol_ && !IsSimulating();
    protocol_->setEnabled(choose);
    protocolPrefix_->setEnabled(choose);
}

std::optional<ProtocolChoice> FormGenTran::ProtocolToCheck() const {
    if (!checkProtocol_->isChecked()) return std::nullopt;
    if (keptProtocol_) return keptProtocol_;
    ProtocolChoice choice;
    choice.protocol = static_cast<BusProtocol>(protocol_->currentData().toInt());
    const QString prefix = protocolPrefix_->text().trimmed();
    if (!prefix.isEmpty()) choice.prefix = ToCore(prefix);
    return choice;
}

void FormGenTran::OnSocketToggled(bool on) {
    if (on && !tlm2Mapping_) OpenSocket();
}

void FormGenTran::OpenSocket() {
    // Disabled first: a window made under a disabled parent stays enabled, one made before
    // would be disabled with it.
    setEnabled(false);
    FormTlm2* socket = FormTlm2::Open(main_, this, tlm2Mapping_);
    if (!socket) {
        setEnabled(true);
        ShowSocketMapping(true);
        return;
    }
    socket->setAttribute(Qt::WA_DeleteOnClose);
    // The box follows what the window kept; Cancel leaves it as it was, but never on
    // without a mapping.
    connect(socket, &QDialog::finished, this, [this](int result) {
        setEnabled(true);
        const bool wasOn = tlm2_->isChecked();
        ShowSocketMapping(false);
        const QSignalBlocker quiet(tlm2_);
        tlm2_->setChecked(tlm2Mapping_ && (result == QDialog::Accepted || wasOn));
    });
    PlaceDialog(socket, &main_);
    socket->show();
}

void FormGenTran::OpenBuildError(const BuildErrorLink& link) {
    UiServices& ui = main_.Context().ui;
    if (!link.IsDiagram()) {
        ui.OpenDocument(link.file);
        return;
    }
    // A diagram assigned to a function opens with the project, so that its checks and
    // preview are those of Generate.
    std::optional<DiagramProject> project;
    QString functionName;
    FsmAssignmentState assignment;
    const std::string& folder = main_.Project().projectFolder;
    if (LoadFsmAssignment(folder, assignment).ok()) {
        for (std::size_t i = 0; i < assignment.rows.size(); ++i) {
            const FsmAssignmentRow& row = assignment.rows[i];
            if (row.assignedMark != "1" || QFileInfo(FromCore(row.asfFile)) != QFileInfo(link.file))
                continue;
            DiagramProject loaded;
            if (LoadRunTables(folder, loaded.tables, AbsentTableFiles::ReadAsEmpty).empty()) {
                loaded.function = static_cast<int>(i) + 1;
                project = std::move(loaded);
            }
            functionName = FromCore(row.functionName);
            break;
        }
    }
    if (DiagramEditor* editor =
            DiagramEditor::Open(ui, link.file, std::move(project), functionName))
        editor->ShowLine(link.line);
}

void FormGenTran::showEvent(QShowEvent* event) {
    if (!sized_) {
        // Laid out at its size hint, which the desktop holds to two thirds of the screen,
        // the window would leave the status box a few lines: it takes what the screen
        // gives for a screenful of the log, and stays where it was placed.
        sized_ = true;
        const int wanted = kStatusLines * QFontMetrics(status_->font()).lineSpacing();
        const QSize size(std::max(width(), 760),
                         height() + std::max(0, wanted - status_->height()));
        PlaceWithinScreen(this, this, size);
    }
    QDialog::showEvent(event);
}

void FormGenTran::done(int result) {
    runner_->StopAndWait();
    UpdateSimulate();
    QDialog::done(result);
}

} // namespace kestrel
