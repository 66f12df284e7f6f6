// The Verilog part of New Project. Every change of the files, the top, the protocol or the
// prefix restarts a short timer; when it runs out, a BusProbe reads the ports on its own
// thread and the panel shows its answer (the last request's, never an older one). The
// fields become the core's FromRtlRequest as they are: an empty top or prefix is found by
// the core.
#include "FromRtlPanel.h"

#include "FormGenTran.h"
#include "GuiText.h"
#include "GuiWidgets.h"
#include "UiServices.h"
#include "model/ProjectOptions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <string_view>

namespace kestrel {

namespace {

// Typing pauses shorter than this are one change.
constexpr int kProbeDelayMs = 300;

// SC_NS in kTimeUnits, as the Code Settings window lists them.
constexpr int kNanoseconds = 2;
// The code settings hold a period of at most this many units.
constexpr int kLongestPeriod = 32767;

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QStringList ProbeSummary(const BusProbeAnswer& answer) {
    const BusProbeRequest& asked = answer.request;
    if (asked.rtlFiles.empty()) return {QStringLiteral("Choose the slave's Verilog files.")};
    if (!answer.status)
        return {QStringLiteral("The Verilog could not be read:"),
                MultiLineFromCore(answer.status.message())};
    QStringList lines;
    if (!answer.found.problems.empty()) {
        lines << QStringLiteral("No %1 slave port to drive:")
                     .arg(FromCore(BusProtocolTitle(asked.protocol)));
        for (const std::string& problem : answer.found.problems)
            lines << QStringLiteral("- %1").arg(FromCore(problem));
        return lines;
    }
    // What kestrel-cli from-rtl prints of them.
    for (const std::string& line : BusPortLines(answer.found)) lines << FromCore(line);
    return lines;
}

FromRtlPanel::FromRtlPanel(UiServices& ui, QWidget* parent)
    : QGroupBox(QStringLiteral("Verilog Bus Slave"), parent), ui_(ui) {
    setObjectName(QStringLiteral("FrameFromRtl"));
    filesLabel_ = NamedWidget<QLabel>("LabelRtlFiles", this);
    filesLabel_->setWordWrap(true);
    filesButton_ = NamedButton("CommandRtlFiles", "Files...", this);
    filesButton_->setToolTip(QStringLiteral("Choose the Verilog files of the bus slave"));
    top_ = NamedWidget<QLineEdit>("TextTop", this);
    top_->setPlaceholderText(QStringLiteral("found from the files"));
    protocol_ = NamedWidget<QComboBox>("ComboProtocol", this);
    for (BusProtocol protocol : {BusProtocol::Axi4Lite, BusProtocol::Apb, BusProtocol::Wishbone})
        protocol_->addItem(FromCore(BusProtocolTitle(protocol)), static_cast<int>(protocol));
    prefix_ = NamedWidget<QLineEdit>("TextPrefix", this);
    prefix_->setPlaceholderText(QStringLiteral("found from the ports"));
    method_ = NamedWidget<QComboBox>("ComboMethod", this);
    method_->addItems({QStringLiteral("State diagrams"), QStringLiteral("AsmL")});
    period_ = NamedWidget<QSpinBox>("TextPeriod", this);
    period_->setRange(1, kLongestPeriod);
    period_->setValue(10);
    unit_ = NamedWidget<QComboBox>("ComboPeriod", this);
    for (std::string_view unit : kTimeUnits) unit_->addItem(FromCore(unit));
    unit_->setCurrentIndex(kNanoseconds);
    found_ = NamedWidget<QPlainTextEdit>("TextFound", this);
    found_->setReadOnly(true);
    found_->setFont(StatusFont());
    // The lines of an AXI4-Lite slave with every optional signal, without wrapping.
    const QFontMetrics metrics(found_->font());
    found_->setMinimumSize(92 * metrics.horizontalAdvance(QLatin1Char('M')),
                           25 * metrics.lineSpacing());

    LayOut();

    probe_ = new BusProbe(this);
    timer_.setSingleShot(true);
    timer_.setInterval(kProbeDelayMs);
    connect(&timer_, &QTimer::timeout, this, &FromRtlPanel::StartProbe);
    connect(probe_, &BusProbe::Finished, this, &FromRtlPanel::ShowAnswer);
    connect(filesButton_, &QPushButton::clicked, this, &FromRtlPanel::ChooseFiles);
    connect(top_, &QLineEdit::textChanged, this, &FromRtlPanel::Reprobe);
    connect(prefix_, &QLineEdit::textChanged, this, &FromRtlPanel::Reprobe);
    connect(protocol_, &QComboBox::currentIndexChanged, this, &FromRtlPanel::Reprobe);
    ShowFiles();
    ShowAnswer();
}

void FromRtlPanel::LayOut() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption("Verilog files:", filesButton_, this), 0, 0);
    grid->addWidget(filesLabel_, 0, 1, 1, 3);
    grid->addWidget(filesButton_, 0, 4);
    grid->addWidget(Caption("Top module:", top_, this), 1, 0);
    grid->addWidget(top_, 1, 1, 1, 4);
    grid->addWidget(Caption("Protocol:", protocol_, this), 2, 0);
    grid->addWidget(protocol_, 2, 1);
    grid->addWidget(Caption("Prefix:", prefix_, this), 2, 2);
    grid->addWidget(prefix_, 2, 3, 1, 2);
    grid->addWidget(Caption("Behaviour:", method_, this), 3, 0);
    grid->addWidget(method_, 3, 1);
    grid->addWidget(Caption("Clock period:", period_, this), 3, 2);
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(period_, 1);
    periodRow->addWidget(unit_);
    grid->addLayout(periodRow, 3, 3, 1, 2);
    grid->addWidget(Caption("Found:", found_, this), 4, 0);
    grid->addWidget(found_, 5, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

FromRtlRequest FromRtlPanel::Request(const std::string& name, const std::string& location) const {
    const BusProbeRequest probe = ProbeRequest();
    FromRtlRequest request;
    request.name = name;
    request.location = location;
    request.rtlFiles = probe.rtlFiles;
    request.top = probe.top;
    request.protocol = probe.protocol;
    request.prefix = probe.prefix;
    request.asml = method_->currentIndex() == 1;
    request.period = period_->value();
    request.unit = ToCore(unit_->currentText());
    return request;
}

BusProbeRequest FromRtlPanel::ProbeRequest() const {
    BusProbeRequest request;
    for (const QString& file : files_) request.rtlFiles.push_back(ToCore(file));
    request.top = ToCore(top_->text().trimmed());
    request.protocol = static_cast<BusProtocol>(protocol_->currentData().toInt());
    const QString prefix = prefix_->text().trimmed();
    if (!prefix.isEmpty()) request.prefix = ToCore(prefix);
    return request;
}

void FromRtlPanel::ChooseFiles() {
    FileDialogRequest request;
    request.title = QStringLiteral("Select the Verilog Files of the Bus Slave");
    request.filter = QStringLiteral("Verilog Files (*.v *.sv)|*.v;*.sv");
    request.folder = files_.isEmpty() ? QString() : QFileInfo(files_.front()).absolutePath();
    const QStringList chosen = ui_.OpenFiles(this, request);
    if (!chosen.isEmpty()) SetFiles(chosen);
}

void FromRtlPanel::SetFiles(const QStringList& files) {
    files_ = files;
    ShowFiles();
    Reprobe();
}

void FromRtlPanel::ShowFiles() {
    QStringList names;
    for (const QString& file : files_) names << QFileInfo(file).fileName();
    filesLabel_->setText(names.isEmpty() ? QStringLiteral("none chosen")
                                         : names.join(QStringLiteral(", ")));
    filesLabel_->setToolTip(files_.join(QLatin1Char('\n')));
}

void FromRtlPanel::Reprobe() {
    timer_.start();
}

void FromRtlPanel::StartProbe() {
    const BusProbeRequest request = ProbeRequest();
    if (request.rtlFiles.empty()) {
        ShowAnswer();
        return;
    }
    found_->setPlainText(QStringLiteral("Reading the Verilog ports..."));
    found_->setCursor(Qt::BusyCursor);
    probe_->Start(request);
}

void FromRtlPanel::ShowProgress(const QString& line) {
    found_->setStyleSheet(QString());
    if (line.isEmpty())
        found_->setPlainText(QStringLiteral("Making the project..."));
    else
        found_->appendPlainText(line);
}

void FromRtlPanel::ShowAnswer() {
    found_->unsetCursor();
    // Nothing probed yet: the summary asks for files.
    const BusProbeAnswer none;
    const bool asked = !files_.isEmpty() && !probe_->Answer().request.rtlFiles.empty();
    const BusProbeAnswer& answer = asked ? probe_->Answer() : none;
    found_->setPlainText(ProbeSummary(answer).join(QLatin1Char('\n')));
    const bool refused = asked && (!answer.status || !answer.found.problems.empty());
    found_->setStyleSheet(refused ? QStringLiteral("color: #b00020;") : QString());
    // The refusals are sentences; the ports are a table.
    found_->setLineWrapMode(refused ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

} // namespace kestrel
