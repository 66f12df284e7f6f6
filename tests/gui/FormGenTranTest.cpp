// The Generate window: its boxes and browse buttons, a run, OK and Cancel, the status box;
// Simulate on the MemReqAck testbench (responsive, Stop, close, build errors linked to their
// files, the Verilog files); the error lines of a build and the summary of a run; the
// TLM-2.0 socket box, its mapping line and the Socket window.
#include "FormGenTran.h"
#include "FormTlm2.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "SimulationRunner.h"
#include "bus/ProtocolChoice.h"
#include "diagram/DiagramEditor.h"
#include "generate/Generate.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace kestrel::test {

namespace {

// A configure and build of the testbench from nothing takes seconds; much more on a
// loaded machine.
constexpr int kRunTimeout = 120000;

// The example with the Generate window open.
struct GenerateFixture : ExampleProject {
    FormGenTran* dialog = nullptr;

    GenerateFixture() { Open(); }
    void Open() {
        if (dialog) { // closed first, and gone
            Click(dialog, "CommandCancel");
            QTRY_VERIFY(!app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran")));
        }
        app.main->RunCommand(AppCommand::Generate);
        dialog = app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        if (!dialog) qFatal("the Generate window did not open");
    }
    // Generates and puts the example's SystemC model of the memory into the testbench
    // folder (rtl.h includes ../../testbench/Memory.h of the copy).
    void Generated() {
        Click(dialog, "CommandGen");
        QDir().mkpath(Output("testbench"));
        for (const char* name : {"rtl.h", "transactions.cpp"})
            QFile::copy(folder + "/sim/" + name, Output("testbench/") + name);
    }

    // Stop during a run ends it; closing the window during a run ends it before the window
    // goes.
    void StopThenClose() {
        Click(dialog, "CommandSimulate"); // Stop
        QVERIFY(!Simulate()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->IsSimulating(), 10000);
        QVERIFY2(Status().endsWith(QStringLiteral("\nSimulation stopped.\n")),
                 qPrintable(Status()));
        QVERIFY(Simulate()->isEnabled() && Control<QWidget>(dialog, "CommandGen")->isEnabled());
        Click(dialog, "CommandSimulate");
        QPointer<FormGenTran> window = dialog;
        Click(dialog, "CommandCancel");
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);
    }
    QString Output(const QString& name) const { return folder + "/Output/" + name; }
    QByteArray StoredSettings() const {
        return FileBytes(FromCore(InputPath(ToCore(folder), kGenerationFile)));
    }
    QAbstractButton* Simulate() const {
        return Control<QAbstractButton>(dialog, "CommandSimulate");
    }
    QString Status() const { return Control<QPlainTextEdit>(dialog, "TextStatus")->toPlainText(); }
};

} // namespace

class FormGenTranTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every character of the status box as wide as the others, so that the log's columns
    // line up (a proportional font gives way to a fixed-pitch family of its size); the box
    // shows lines enough, and the window fits the screen. The browse buttons fill their
    // boxes; Cancel saves nothing, OK the boxes trimmed.
    void statusBoxBrowseThenCancelOrOk() {
        GenerateFixture f;
        auto* status = Control<QPlainTextEdit>(f.dialog, "TextStatus");
        const QFontMetrics metrics(status->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
                 metrics.horizontalAdvance(QStringLiteral("WWWW")));
        const QFont proportional = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        QVERIFY(!IsFixedPitch(proportional));
        const QFont chosen = FixedPitchFont(proportional);
        QVERIFY(IsFixedPitch(chosen));
        QCOMPARE(chosen.pointSizeF(), proportional.pointSizeF());
        QCOMPARE(FixedPitchFont(chosen), chosen);

        QCoreApplication::sendPostedEvents();
        const QRect screen = f.dialog->screen()->availableGeometry();
        QVERIFY(screen.contains(f.dialog->frameGeometry()));
        const int lines = status->viewport()->height() / status->fontMetrics().lineSpacing();
        QVERIFY2(lines >= (screen.height() > 600 ? 16 : 8), qPrintable(QString::number(lines)));
        const QByteArray before = f.StoredSettings();
        ExpectGolden(Dump(f.dialog, f.dir.path()), "generate-window.txt");
        for (const auto& [button, box] : {std::pair{"CommandSaveAsAICH", "TextAICHFName"},
                                          {"CommandSaveAsTH", "TextTHFName"},
                                          {"CommandSaveAsTCPP", "TextTCPPFName"}}) {
            auto* line = Control<QLineEdit>(f.dialog, box);
            const QString was = line->text();
            Click(f.dialog, button); // cancelled
            QCOMPARE(f.app.ui.calls.last().folder, f.folder + "/Output");
            QCOMPARE(line->text(), was);
            f.app.ui.fileAnswers << QStringLiteral("/elsewhere/") + box;
            Click(f.dialog, button);
            QCOMPARE(line->text(), QStringLiteral("/elsewhere/") + box);
        }
        QCOMPARE(f.app.ui.calls.last().filter, QStringLiteral("C++ File (*.cpp)|*.cpp"));
        f.Open(); // Cancel, and open again
        QCOMPARE(f.StoredSettings(), before);

        Control<QLineEdit>(f.dialog, "TextTCName")->setText(QStringLiteral("  clsBus "));
        Control<QLineEdit>(f.dialog, "TextAICHFName")->setText(QStringLiteral(" /x/If.h  "));
        Click(f.dialog, "CommandOK");
        QTRY_VERIFY(!f.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran")));
        GenerationSettings stored;
        QVERIFY(LoadGenerationSettings(ToCore(f.folder), stored).ok());
        QCOMPARE(QString::fromStdString(stored.transactorClassName), QStringLiteral("clsBus"));
        QCOMPARE(QString::fromStdString(stored.interfaceHeaderPath), QStringLiteral("/x/If.h"));
        QVERIFY(f.app.main->Menu("MenuFile")->menuAction()->isEnabled());
        // The session's log no longer reports to the closed window.
        QVERIFY(f.app.session.log.Observer() == nullptr);
    }

    // Simulate is offered once Tran.cpp exists.
    void generateRunsAgainWithAFreshStatus() {
        GenerateFixture f;
        QVERIFY(!f.Simulate()->isEnabled());
        Click(f.dialog, "CommandGen");
        QVERIFY(f.Simulate()->isEnabled());
        const QString status = f.Status();
        QVERIFY2(status.endsWith(QStringLiteral("\nTransactor Generation Completed!\n"
                                                "0 Error(s), 0 Warning(s)\n")),
                 qPrintable(status));
        QCOMPARE(status, MultiLineFromCore(f.app.session.log.StatusText()));
        auto* progress = Control<QProgressBar>(f.dialog, "ProgressBarGen");
        QCOMPARE(progress->value(), progress->maximum());

        const QByteArray header = FileBytes(f.Output("Tran.h"));
        QVERIFY(header.contains("Date:    Friday, Dec 4, 2026 @ 09:51:15 AM\r\n"));
        // A second run from the window gives the same files and a fresh status text.
        Click(f.dialog, "CommandGen");
        QCOMPARE(f.Status(), status);
        QCOMPARE(FileBytes(f.Output("Tran.h")), header);

        // Opened again without the generated Tran.cpp, Simulate is not offered.
        QVERIFY(QFile::remove(f.Output("Tran.cpp")));
        f.Open();
        QVERIFY(!f.Simulate()->isEnabled());
    }

    void simulatesTheExampleWithoutFreezingTheWindow() {
        GenerateFixture f;
        f.Generated();
        // The window's thread must keep turning while the build and the run go on.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        Click(f.dialog, "CommandSimulate");
        sinceTick.start();
        ticks.start(20);
        QVERIFY(f.dialog->IsSimulating());
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Stop"));
        QVERIFY(!Control<QWidget>(f.dialog, "CommandGen")->isEnabled());
        QVERIFY(!Control<QWidget>(f.dialog, "CommandRtlFiles")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        ticks.stop();
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));

        const QString status = f.Status();
        for (const QString& expected :
             {QStringLiteral("== Building the simulation (cmake --build)\n"),
              QStringLiteral("Write (0x10, 0xa5)   waits 1\n"),
              QStringLiteral("\nTransactions completed: 9\nSimulated time: 320 ns\nWaveform: ") +
                  f.Output("testbench/waves.vcd") + "\n"})
            QVERIFY2(status.contains(expected), qPrintable(status));
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Simulate"));
        QVERIFY(Control<QWidget>(f.dialog, "CommandGen")->isEnabled());
        QVERIFY(Control<QWidget>(f.dialog, "ListBuildErrors")->isHidden());

        // The run offers its transactions.cpp to the desktop's text editor, and its
        // waveform to GTKWave when that is found on PATH, else to the desktop's program.
        Click(f.dialog, "CommandEditTransactions");
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(f.app.ui.calls.last().text, f.Output("testbench/transactions.cpp"));
        QTemporaryDir bin;
        const QString viewer = bin.path() + "/gtkwave";
        WriteTestFile(viewer, "#!/bin/sh\n");
        QVERIFY(QFile::setPermissions(viewer, QFile::permissions(viewer) | QFileDevice::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        Click(f.dialog, "CommandOpenWaveform");
        const UiCall withViewer = f.app.ui.calls.last();
        QVERIFY(QFile::remove(viewer));
        Click(f.dialog, "CommandOpenWaveform");
        const UiCall withoutViewer = f.app.ui.calls.last();
        qputenv("PATH", path);
        QCOMPARE(withViewer.kind, QStringLiteral("program"));
        QCOMPARE(withViewer.title, viewer);
        QCOMPARE(withViewer.text, f.Output("testbench/waves.vcd"));
        QCOMPARE(withoutViewer.kind, QStringLiteral("document"));
    }

    // A failed build lists its errors, each opening the file it names; Stop and closing
    // the window end a run.
    void buildErrorsThenStopAndClose() {
        GenerateFixture f;
        // The FSM route, with a misspelt name in an action of the Write diagram.
        RunCli({"options", f.tp, "--method", "fsm"});
        const QString diagram = f.folder + "/Input/Write.asf";
        QByteArray bytes = FileBytes(diagram);
        QVERIFY(bytes.contains("toLv ( address )\\nwdata"));
        WriteTestFile(diagram,
                      bytes.replace("toLv ( address )\\nwdata", "toLv ( adress )\\nwdata"));
        f.Open(); // again, on the changed project
        f.Generated();
        // A line written into the generated file by hand comes from no diagram.
        WriteTestFile(f.Output("Tran.cpp"),
                      FileBytes(f.Output("Tran.cpp")) + "#error edited by hand\n");

        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        QVERIFY2(f.Status().contains(diagram + ": In action of state REQUEST:\n" + diagram +
                                     ":66: error: "),
                 qPrintable(f.Status()));
        auto* list = Control<QListWidget>(f.dialog, "ListBuildErrors");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        // Shown from the project's folder, the whole path in the tooltip.
        const int mapped = list->item(0)->text().startsWith(QStringLiteral("Input/")) ? 0 : 1;
        QVERIFY2(list->item(mapped)->text().startsWith(QStringLiteral("Input/Write.asf:66: ")),
                 qPrintable(list->item(mapped)->text()));
        QVERIFY(list->item(mapped)->toolTip().contains(diagram));
        QVERIFY(list->item(1 - mapped)->text().startsWith(QStringLiteral("Output/Tran.cpp:")));

        auto click = [list](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        };
        // A diagram opens in the editor with the action block of line 66 selected.
        const qsizetype calls = f.app.ui.calls.size();
        click(mapped);
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), diagram);
        const std::vector<DiagramObject> selected = editor->Scene().SelectedObjects();
        QCOMPARE(selected.size(), std::size_t{1});
        QCOMPARE(selected[0].kind, DiagramObjectKind::Action);
        QCOMPARE(selected[0].number, editor->Document().Lines()[65].number);
        QCOMPARE(f.app.ui.calls.size(), calls);
        CloseTopLevels<DiagramEditor>();
        click(1 - mapped);
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(f.app.ui.calls.last().text, f.Output("Tran.cpp"));

        // A new run starts with an empty list.
        Click(f.dialog, "CommandSimulate");
        QVERIFY(list->isHidden());
        QCOMPARE(list->count(), 0);
        f.StopThenClose();
    }

    void verilogFilesGoToTheRun() {
        if (QStandardPaths::findExecutable(QStringLiteral("verilator")).isEmpty())
            QSKIP("Verilator is not installed");
        GenerateFixture f;
        f.Generated();
        auto* label = Control<QLabel>(f.dialog, "LabelRtl");
        const QString model = label->text();
        QVERIFY(!Control<QWidget>(f.dialog, "CommandRtlClear")->isEnabled());
        Click(f.dialog, "CommandRtlFiles"); // cancelled
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("open files"));
        QCOMPARE(f.app.ui.calls.last().filter, QStringLiteral("Verilog Files (*.v *.sv)|*.v;*.sv"));
        QVERIFY(f.dialog->RtlFiles().isEmpty());

        // A module without the project's ports is refused before anything is built.
        const QString verilog = f.dir.path() + "/other.v";
        WriteTestFile(verilog, "module other(input clk, output reg done);\nendmodule\n");
        f.app.ui.filesAnswers << QStringList{verilog};
        Click(f.dialog, "CommandRtlFiles");
        QCOMPARE(label->text(), QStringLiteral("other.v"));
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        QVERIFY2(f.Status().endsWith(QStringLiteral("\nNo testbench written.\n")),
                 qPrintable(f.Status()));
        QVERIFY(!QFile::exists(f.Output("testbench/build")));

        Click(f.dialog, "CommandRtlClear");
        QCOMPARE(label->text(), model);
        QVERIFY(f.dialog->RtlFiles().isEmpty());
    }

    // The RTL row starts from the project's Verilog (rtl.json) and keeps what is chosen;
    // Clear forgets it. A kept file that is gone is named when Simulate is pressed, and a
    // damaged rtl.json is named on the row, which Clear then forgets.
    void verilogFilesKeptWithTheProject() {
        GenerateFixture f;
        const QString kept = f.folder + "/rtl.json";
        const QString verilog = f.folder + "/rtl/memory.v";
        WriteTestFile(kept, "{\"files\": [\"rtl/memory.v\"], \"top\": \"memory\"}");
        f.Open();
        auto* label = Control<QLabel>(f.dialog, "LabelRtl");
        QCOMPARE(f.dialog->RtlFiles(), QStringList{verilog});
        QCOMPARE(f.dialog->RtlTop(), QStringLiteral("memory"));
        QCOMPARE(label->text(), QStringLiteral("memory.v (top memory)"));

        // Chosen files replace them and the top, and are kept.
        const QString other = f.folder + "/other.v";
        WriteTestFile(other, "module other(input clk);\nendmodule\n");
        f.app.ui.filesAnswers << QStringList{other};
        Click(f.dialog, "CommandRtlFiles");
        f.Open();
        QCOMPARE(f.dialog->RtlFiles(), QStringList{other});
        QVERIFY(f.dialog->RtlTop().isEmpty());
        QVERIFY(FileBytes(kept).contains("\"other.v\""));

        // Gone: Simulate names it and runs nothing.
        QFile::remove(other);
        f.Generated();
        const int calls = f.app.ui.calls.size();
        Click(f.dialog, "CommandSimulate");
        QVERIFY(!f.dialog->IsSimulating());
        QCOMPARE(f.app.ui.calls.size(), calls + 1);
        QCOMPARE(f.app.ui.calls.last().text,
                 "the project's Verilog file \"" + other +
                     "\" no longer exists: choose the files again with RTL Files..., or Clear to "
                     "simulate rtl.h");

        Click(f.dialog, "CommandRtlClear");
        QVERIFY(!QFile::exists(kept));
        f.Open();
        QVERIFY(f.dialog->RtlFiles().isEmpty());

        WriteTestFile(kept, "{\"files\": 1}");
        f.Open();
        label = Control<QLabel>(f.dialog, "LabelRtl");
        QCOMPARE(label->text(), "\"" + kept + "\" is damaged: \"files\" is missing or not a list");
        Click(f.dialog, "CommandRtlClear");
        QVERIFY(!QFile::exists(kept));
        QCOMPARE(label->text(), QStringLiteral("SystemC model rtl.h in the testbench folder"));
    }

    // Without a mapping the box is off and the line says how to get one; checking the box
    // opens the Socket window on the proposal. A refusal is the core's text and keeps the
    // window open; OK keeps the mapping, writes the module and turns the box on. Opened
    // again the window starts on the kept mapping; a damaged tlm2.json is named.
    void socketBoxAndWindow() {
        GenerateFixture f;
        auto* box = Control<QCheckBox>(f.dialog, "CheckTlm2");
        auto* line = Control<QLabel>(f.dialog, "LabelTlm2");
        QVERIFY(!box->isChecked() && !f.dialog->ThroughSocket());
        QVERIFY2(line->text().startsWith(QStringLiteral("No socket mapping: ")),
                 qPrintable(line->text()));
        box->click();
        auto* socket = Window<FormTlm2>(f.dialog);
        QVERIFY(socket && !f.dialog->isEnabled());
        ExpectGolden(Dump(socket), "tlm2-window.txt");

        TlmFunctionTable functions;
        QVERIFY(LoadTlmFunctions(ToCore(f.folder), functions).ok());
        Control<QLineEdit>(socket, "TextBase")->setText(QStringLiteral("0xZZ"));
        const Tlm2Choice refused = ChooseTlm2Mapping(functions, socket->Request());
        QVERIFY(!refused.mapping && !refused.problems.empty());
        Click(socket, "CommandOK");
        ExpectMessage(f.app.ui, FromCore(refused.problems.front()));
        QVERIFY(socket->isVisible());
        std::optional<Tlm2Mapping> kept;
        QVERIFY(LoadTlm2Mapping(ToCore(f.folder), kept).ok() && !kept);

        Control<QLineEdit>(socket, "TextBase")->setText(QStringLiteral("0x100"));
        Click(socket, "CommandOK");
        QTRY_VERIFY(!Window<FormTlm2>(f.dialog));
        QVERIFY(f.dialog->isEnabled() && box->isChecked() && f.dialog->ThroughSocket());
        QVERIFY(LoadTlm2Mapping(ToCore(f.folder), kept).ok() && kept);
        QCOMPARE(kept->base, std::uint64_t{0x100});
        QCOMPARE(line->text(), QStringLiteral("Write(address, data) / Read(address, data), "
                                              "base 0x100, size 256"));
        QVERIFY(QFile::exists(f.Output("Tran_tlm2.h")));
        // Generate writes the module again and says so after the log; Simulate goes through
        // the socket and offers the socket's transactions.
        Click(f.dialog, "CommandGen");
        QVERIFY2(f.Status().endsWith("\nwrote " + f.Output("Tran_tlm2.h") + "\n"),
                 qPrintable(f.Status()));
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.Output("testbench/transactions_tlm2.cpp")),
                                 kRunTimeout);
        Click(f.dialog, "CommandSimulate"); // Stop
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), 10000);
        QCOMPARE(Control<QAbstractButton>(f.dialog, "CommandEditTransactions")->text(),
                 QStringLiteral("Edit transactions_tlm2.cpp"));
        box->click(); // off: Simulate goes to the transactor's own functions
        QVERIFY(!f.dialog->ThroughSocket());

        f.Open();
        box = Control<QCheckBox>(f.dialog, "CheckTlm2");
        QVERIFY(box->isChecked());
        Click(f.dialog, "CommandTlm2");
        socket = Window<FormTlm2>(f.dialog);
        QCOMPARE(Control<QLineEdit>(socket, "TextBase")->text(), QStringLiteral("0x100"));
        Click(socket, "CommandCancel");
        QTRY_VERIFY(!Window<FormTlm2>(f.dialog));
        QVERIFY(box->isChecked());

        WriteTestFile(f.folder + "/tlm2.json", "{ damaged");
        f.Open();
        QVERIFY(!Control<QCheckBox>(f.dialog, "CheckTlm2")->isChecked());
        QVERIFY2(Control<QLabel>(f.dialog, "LabelTlm2")->text().contains("tlm2.json"),
                 qPrintable(Control<QLabel>(f.dialog, "LabelTlm2")->text()));
    }

    // The Check protocol box: off with the protocol and prefix to choose for a project
    // without protocol.json; on, with the kept choice shown and not changeable, for one with
    // it; a damaged file named and the box off.
    void protocolCheckBox() {
        GenerateFixture f;
        auto* box = Control<QCheckBox>(f.dialog, "CheckProtocol");
        auto* protocol = Control<QComboBox>(f.dialog, "ComboCheckProtocol");
        auto* prefix = Control<QLineEdit>(f.dialog, "TextCheckPrefix");
        QVERIFY(!box->isChecked() && !protocol->isEnabled() && !prefix->isEnabled());
        QVERIFY(!f.dialog->ProtocolToCheck());
        box->click();
        QVERIFY(protocol->isEnabled() && prefix->isEnabled());
        protocol->setCurrentIndex(2);
        prefix->setText(QStringLiteral(" wb_ "));
        QVERIFY(f.dialog->ProtocolToCheck() ==
                ProtocolChoice(BusProtocol::Wishbone, std::string("wb_")));
        // Simulate asks for the check by the protocol's word.
        std::optional<ProtocolCheckRequest> asked = f.dialog->RunRequest().testbench.protocol;
        QVERIFY(asked && asked->protocol == "wishbone" && asked->prefix == "wb_");
        QCOMPARE(asked->hangCycles, kDefaultHangCycles);
        prefix->clear();
        QVERIFY(f.dialog->ProtocolToCheck() == ProtocolChoice(BusProtocol::Wishbone, std::nullopt));

        QVERIFY(SaveProtocolChoice(ToCore(f.folder), {BusProtocol::Apb, std::string("P")}).ok());
        f.Open();
        box = Control<QCheckBox>(f.dialog, "CheckProtocol");
        protocol = Control<QComboBox>(f.dialog, "ComboCheckProtocol");
        QVERIFY(box->isChecked() && !protocol->isEnabled());
        QCOMPARE(protocol->currentText(), QStringLiteral("APB"));
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextCheckPrefix")->text(), QStringLiteral("P"));
        QCOMPARE(Control<QLabel>(f.dialog, "LabelProtocol")->text(),
                 QStringLiteral("kept with the project (protocol.json)"));
        QVERIFY(f.dialog->ProtocolToCheck() == ProtocolChoice(BusProtocol::Apb, std::string("P")));
        QCOMPARE(f.dialog->RunRequest().testbench.protocol->protocol, std::string("apb"));
        box->click(); // off for this window's runs: no check, protocol.json or not
        QVERIFY(!f.dialog->ProtocolToCheck() && !protocol->isEnabled());
        QVERIFY(!f.dialog->RunRequest().testbench.protocol);

        WriteTestFile(f.folder + "/protocol.json", "{ damaged");
        f.Open();
        QVERIFY(!Control<QCheckBox>(f.dialog, "CheckProtocol")->isChecked());
        QVERIFY2(Control<QLabel>(f.dialog, "LabelProtocol")->text().contains("protocol.json"),
                 qPrintable(Control<QLabel>(f.dialog, "LabelProtocol")->text()));
    }

    // The error lines of a build that get a link, and where it leads; every other line
    // (warnings, notes, quoted source, places of no file) gets none. Then the summary of a
    // run for each way it ends.
    void errorLinesAndSummaries() {
        QString dump;
        for (const char* line :
             {"/p/Output/Tran.cpp:53:28: error: 'adress' was not declared",
              "/p/Input/Write.asf:66: error: 'adress' was not declared",
              "/p/Input/READ.ASF:7: error: x", "/p/t.cpp:2:10: fatal error: Tran.h: No such file",
              "../sc_main.cpp:9:1: error: x", "/my work/v2:3/a.cpp:4:5: error: x",
              "%Error: /p/rtl/top.v:4:5: Cannot find file containing module: 'memory'",
              "/p/a.cpp:4:5: warning: unused", "   53 |   x = 1 ; // a.cpp:1: error: y",
              "    in Tran.cpp:53: error: y", "%Error: Exiting due to 2 error(s)",
              "/p/a.cpp:0: error: x", "/p/a.cpp:3: error: "}) {
            const auto link = ParseBuildErrorLink(QString::fromLatin1(line),
                                                  QStringLiteral("/p/Output/testbench/build"));
            dump += QString::fromLatin1(line) + "\n  -> ";
            if (link)
                dump += QStringLiteral("%1 %2:%3 %4 [%5]\n")
                            .arg(link->file)
                            .arg(link->line)
                            .arg(link->column)
                            .arg(link->IsDiagram() ? "diagram" : "file", link->text);
            else
                dump += "none\n";
        }
        // A whole output: each error once, in its order.
        for (const BuildErrorLink& link : BuildErrorLinks(
                 QStringLiteral("FAILED: Tran.cpp.o\r\n/p/Tran.cpp:53:28: error: one\r\n"
                                "   53 |   x ;\r\n/p/W.asf:66: error: two\n"
                                "/p/Tran.cpp:53:28: error: one\n"),
                 QStringLiteral("/p")))
            dump += "output -> " + link.file + " [" + link.text + "]\n";

        SimulationReport done;
        done.outcome.reached = SimulationStep::Done;
        done.outcome.exitCode = 0;
        done.outcome.transactions = 9;
        done.outcome.simulatedTime = "320 ns";
        done.outcome.waveform = "/p/waves.vcd";
        SimulationReport limited = done;
        limited.outcome.exitCode = 1;
        limited.outcome.timeLimitReached = true;
        SimulationReport refused;
        refused.outcome.testbench.problems = {"port ack: missing", "port req: missing"};
        SimulationReport broken;
        broken.outcome.reached = SimulationStep::Build;
        broken.outcome.buildOutput = "/p/Tran.cpp:1:1: error: x\n";
        broken.diagnostics = "/p/W.asf:66: error: x\n";
        SimulationReport verilator = broken;
        verilator.failure = "Verilator stopped on the Verilog";
        SimulationReport stopped = broken;
        stopped.outcome.stopped = true;
        SimulationReport late = broken;
        late.outcome.timedOut = true;
        SimulationReport checked = limited; // with the protocol monitor, violations counted
        checked.outcome.timeLimitReached = false;
        checked.outcome.testbench.plan.monitor = BusMonitorPlan{};
        checked.outcome.protocolViolations = 3;
        for (const SimulationReport* report :
             {&done, &limited, &refused, &broken, &verilator, &stopped, &late, &checked})
            dump += "== summary\n" + SimulationSummaryText(*report);
        ExpectGolden(dump, "build-errors-and-summaries.txt");
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormGenTranTest)
#include "FormGenTranTest.moc"
