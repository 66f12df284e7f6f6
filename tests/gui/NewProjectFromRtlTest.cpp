// New Project from Verilog: the Verilog start of the New Project window, what it shows of the
// ports the core finds in the fixture slaves as the files, protocol and prefix change, and OK
// making the project through the core and opening it, its simulations checked.
#include "FormGenTran.h"
#include "FormNewProject.h"
#include "FromRtlPanel.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "bus/ProtocolChoice.h"
#include "sim/RtlChoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace kestrel::test {

namespace {

using C = AppCommand;

// Reading the ports runs Verilator: a second or two, more on a loaded machine.
constexpr int kProbeTimeout = 60000;
// A co-simulation is configured, verilated, built and run: a minute or more.
constexpr int kRunTimeout = 600000;

QString Slave(const char* file) {
    return QStringLiteral(KESTREL_SOURCE_DIR "/tests/fixtures/rtl/") + QString::fromLatin1(file);
}

// The window on the Verilog start, `files` chosen.
struct FromRtlWindow {
    QTemporaryDir dir;
    TestApp app;
    FormNewProject* dialog = nullptr;

    explicit FromRtlWindow(const QStringList& files) {
        app.main->Start(QString());
        app.main->RunCommand(C::NewProjectFromRtl);
        dialog = app.main->findChild<FormNewProject*>(QStringLiteral("FormNewProject"));
        if (!dialog) qFatal("New Project from Verilog did not open");
        if (files.isEmpty()) return;
        app.ui.filesAnswers << files;
        Click(dialog, "CommandRtlFiles");
    }
    QString Found() const { return Control<QPlainTextEdit>(dialog, "TextFound")->toPlainText(); }
    QString FoundStyle() const { return Control<QWidget>(dialog, "TextFound")->styleSheet(); }
};

// With KESTREL_GUI_SHOTS set, the window's picture in that folder, to look at.
void Shot(QWidget* window, const char* name) {
    const QString folder = qEnvironmentVariable("KESTREL_GUI_SHOTS");
    if (!folder.isEmpty()) window->grab().save(folder + QLatin1Char('/') + name);
}

// Waits for the probe of the fields as they are now.
#define WAIT_PROBED(w) QTRY_VERIFY_WITH_TIMEOUT(!(w).dialog->FromRtl().IsProbing(), kProbeTimeout)

} // namespace

class NewProjectFromRtlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startChoiceAndFields() {
        FromRtlWindow w({});
        QDialog* dialog = w.dialog;
        QVERIFY(Control<QRadioButton>(dialog, "OptionFromRtl")->isChecked());
        QVERIFY(Control<QWidget>(dialog, "FrameFromRtl")->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("New Transactor Project from Verilog"));
        QCOMPARE(w.Found(), QStringLiteral("Choose the slave's Verilog files."));
        QCOMPARE(Control<QSpinBox>(dialog, "TextPeriod")->value(), 10);
        QCOMPARE(Control<QComboBox>(dialog, "ComboPeriod")->currentText(), QStringLiteral("SC_NS"));

        // A cancelled file choice keeps none; OK without files says what is missing.
        Click(dialog, "CommandRtlFiles");
        QCOMPARE(w.app.ui.calls.last().kind, QStringLiteral("open files"));
        QCOMPARE(w.app.ui.calls.last().filter, QStringLiteral("Verilog Files (*.v *.sv)|*.v;*.sv"));
        Control<QLineEdit>(dialog, "TextPName")->setText(QStringLiteral("Gpio"));
        Click(dialog, "CommandOK");
        ExpectMessage(w.app.ui, QStringLiteral("Choose the Verilog files of the bus slave"));
        QVERIFY(dialog->isVisible());

        // The empty start hides the Verilog part; the plain New Project opens on it.
        Control<QRadioButton>(dialog, "OptionEmpty")->setChecked(true);
        QVERIFY(!Control<QWidget>(dialog, "FrameFromRtl")->isVisible());
        Click(dialog, "CommandCancel");
        QTRY_VERIFY(!w.app.main->findChild<FormNewProject*>());
        w.app.main->RunCommand(C::NewProject);
        auto* plain = w.app.main->findChild<FormNewProject*>();
        QVERIFY(plain && Control<QRadioButton>(plain, "OptionEmpty")->isChecked());
        QVERIFY(!Control<QWidget>(plain, "FrameFromRtl")->isVisible());
    }

    void portsFoundAsTheFieldsChange() {
        FromRtlWindow w({Slave("axil_ram_xilinx.v")});
        WAIT_PROBED(w);
        // What kestrel-cli from-rtl prints: each signal, the clock, the reset, none lacking.
        QStringList lines = w.Found().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 1 + 19 + 3);
        QCOMPARE(lines.first(),
                 QStringLiteral("AXI4-Lite slave ports with the prefix \"S_AXI_\":"));
        QVERIFY(lines.contains(QStringLiteral("  AWADDR   -> S_AXI_AWADDR (input, 6 bits)")));
        QVERIFY(lines.contains(QStringLiteral("  clock    -> S_AXI_ACLK")));
        QCOMPARE(lines.last(), QStringLiteral("  optional signals the RTL lacks: none"));
        QVERIFY(w.FoundStyle().isEmpty());
        Shot(w.dialog, "newproject-rtl.png");

        // Another protocol: refused, in red, naming what is missing.
        Control<QComboBox>(w.dialog, "ComboProtocol")->setCurrentIndex(1);
        WAIT_PROBED(w);
        QVERIFY2(w.Found().startsWith(QStringLiteral("No APB slave port to drive:\n- ")),
                 qPrintable(w.Found()));
        QVERIFY(w.FoundStyle().contains(QStringLiteral("color")));
        Shot(w.dialog, "newproject-rtl-refused.png");

        // Lower-case ports without the optional signals, their prefix given.
        w.app.ui.filesAnswers << QStringList{Slave("axil_ram_min.v")};
        Click(w.dialog, "CommandRtlFiles");
        Control<QComboBox>(w.dialog, "ComboProtocol")->setCurrentIndex(0);
        Control<QLineEdit>(w.dialog, "TextPrefix")->setText(QStringLiteral("s_axil_"));
        WAIT_PROBED(w);
        lines = w.Found().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(),
                 QStringLiteral("AXI4-Lite slave ports with the prefix \"s_axil_\":"));
        QCOMPARE(lines.last(), QStringLiteral("  optional signals the RTL lacks: AWPROT, WSTRB, "
                                              "BRESP, ARPROT, RRESP"));
        QVERIFY(w.FoundStyle().isEmpty());

        // A file Verilator refuses: its words, in red.
        const QString broken = w.dir.filePath(QStringLiteral("broken.v"));
        WriteTestFile(broken, "module broken(input clk\n");
        w.app.ui.filesAnswers << QStringList{broken};
        Click(w.dialog, "CommandRtlFiles");
        WAIT_PROBED(w);
        QVERIFY2(w.Found().startsWith(QStringLiteral("The Verilog could not be read:")),
                 qPrintable(w.Found()));
        QVERIFY(w.FoundStyle().contains(QStringLiteral("color")));
    }

    void okMakesTheProjectThroughTheCore() {
        FromRtlWindow w({Slave("apb_ram.v")});
        Control<QLineEdit>(w.dialog, "TextPName")->setText(QStringLiteral(" ApbRam "));
        Control<QLineEdit>(w.dialog, "TextWD")->setText(w.dir.path());
        Control<QComboBox>(w.dialog, "ComboProtocol")->setCurrentIndex(1);
        Control<QComboBox>(w.dialog, "ComboMethod")->setCurrentIndex(1);
        const FromRtlRequest request = w.dialog->FromRtl().Request("ApbRam", ToCore(w.dir.path()));
        QCOMPARE(request.protocol, BusProtocol::Apb);
        QVERIFY(request.asml && !request.prefix && request.top.empty());
        QCOMPARE(request.unit, std::string("SC_NS"));

        // A prefix that matches nothing: refused by the core, the window stays.
        Control<QLineEdit>(w.dialog, "TextPrefix")->setText(QStringLiteral("q_"));
        Click(w.dialog, "CommandOK");
        QVERIFY(w.dialog->IsMaking() && !w.dialog->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.dialog->IsMaking(), kProbeTimeout);
        QCOMPARE(w.app.ui.Messages().size(), 1);
        QCOMPARE(w.app.ui.calls.last().icon, MessageIcon::Critical);
        QVERIFY(w.dialog->isVisible() && w.dialog->isEnabled());
        QVERIFY(!QFile::exists(w.dir.filePath("ApbRam/ApbRam.tp")));

        Control<QLineEdit>(w.dialog, "TextPrefix")->clear();
        Click(w.dialog, "CommandOK");
        QTRY_VERIFY_WITH_TIMEOUT(!w.app.main->findChild<FormNewProject*>(), kProbeTimeout);
        const QString folder = w.dir.filePath(QStringLiteral("ApbRam"));
        QCOMPARE(FromCore(w.app.main->Project().projectFolder), folder);
        QVERIFY(w.app.main->windowTitle().startsWith(QStringLiteral("ApbRam - ")));
        // What was made, with the sim command, said once it is open.
        ExpectMessage(w.app.ui, QString(), MessageIcon::Information);
        QVERIFY(w.app.ui.calls.last().text.contains(QStringLiteral("sim")));
        std::optional<ProtocolChoice> kept;
        QVERIFY(LoadProtocolChoice(ToCore(folder), kept).ok() && kept);
        QCOMPARE(kept->protocol, BusProtocol::Apb);
        std::optional<RtlChoice> rtl;
        QVERIFY(LoadRtlChoice(ToCore(folder), rtl).ok() && rtl && rtl->files.size() == 1);

        // Its Generate window checks the protocol by default; Simulate runs the monitor on
        // the slave's bus and counts no violation.
        w.app.main->RunCommand(C::Generate);
        auto* generate = w.app.main->findChild<FormGenTran*>();
        QVERIFY(generate && Control<QCheckBox>(generate, "CheckProtocol")->isChecked());
        QCOMPARE(Control<QComboBox>(generate, "ComboCheckProtocol")->currentText(),
                 QStringLiteral("APB"));
        Click(generate, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(!generate->IsSimulating(), kRunTimeout);
        const QString status = Control<QPlainTextEdit>(generate, "TextStatus")->toPlainText();
        QVERIFY2(status.contains(QStringLiteral("sim: protocol check: APB")), qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("\nProtocol violations: 0\n")), qPrintable(status));
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::NewProjectFromRtlTest)
#include "NewProjectFromRtlTest.moc"
