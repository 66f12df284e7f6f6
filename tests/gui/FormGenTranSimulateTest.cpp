// Simulate in the Generate window: offered once Tran.cpp exists; a run of the MemReqAck
// testbench (built with CMake, run against its SystemC memory) that keeps the window
// responsive and ends with the counts kestrel-cli sim prints; Stop and closing the window
// during a run; a build that fails listing its errors, each opening the file it names (a
// diagram in the diagram editor with the object of the line selected); the files a run offers
// to open; the Verilog files handed to the run; and on their own, the error lines of a build
// and the summary of a run.
#include "FormGenTran.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "SimulationRunner.h"
#include "diagram/DiagramEditor.h"
#include "project/ProjectCommands.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace kestrel::test {

namespace {

// A configure and build of the testbench from nothing takes seconds; much more on a
// loaded machine.
constexpr int kRunTimeout = 120000;

void AppendTo(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::Append)) qFatal("cannot append to %s", qPrintable(path));
    file.write(bytes);
}

// The example project MemReqAck copied into a temporary folder, its generated files
// pointed at the copy (not generated yet).
struct SimulateFixture {
    QTemporaryDir dir;
    QString folder;
    QString tp;
    TestApp app;
    FormGenTran* dialog = nullptr;

    SimulateFixture() {
        folder = dir.path() + "/MemReqAck";
        CopyFolder(ExamplesFolder() + "/MemReqAck", folder);
        tp = folder + "/MemReqAck.tp";
        RunCli({"settings", tp, "--cpp", Output("Tran.cpp"), "--header", Output("Tran.h"),
                "--interface-header", Output("TLM_AIC.h")});
    }

    QString Output(const QString& name) const { return folder + "/Output/" + name; }

    void Open() {
        app.main->Start(tp);
        app.main->RunCommand(AppCommand::Generate);
        dialog = app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        if (!dialog) qFatal("the Generate window did not open");
    }

    // Opens the window, generates and puts the example's SystemC model of the memory
    // into the testbench folder (rtl.h includes ../../testbench/Memory.h of the copy).
    void Generated() {
        Open();
        Click(dialog, "CommandGen");
        QDir().mkpath(Output("testbench"));
        for (const char* name : {"rtl.h", "transactions.cpp"})
            QFile::copy(folder + "/sim/" + name, Output("testbench/") + name);
    }

    QAbstractButton* Simulate() const {
        return Control<QAbstractButton>(dialog, "CommandSimulate");
    }
    QString Status() const { return Control<QPlainTextEdit>(dialog, "TextStatus")->toPlainText(); }
};

} // namespace

class FormGenTranSimulateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offeredOnceTheTransactorIsGenerated() {
        SimulateFixture f;
        f.Open();
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Simulate"));
        QVERIFY(!f.Simulate()->isEnabled());
        Click(f.dialog, "CommandGen");
        QVERIFY(f.Simulate()->isEnabled());
        // Generate's own status text stays as it was.
        QVERIFY(f.Status().endsWith(
            QStringLiteral("\nTransactor Generation Completed!\n0 Error(s), 0 Warning(s)\n")));

        // Opened again without the generated Tran.cpp, it is not offered.
        Click(f.dialog, "CommandCancel");
        QTRY_VERIFY(!f.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran")));
        QVERIFY(QFile::remove(f.Output("Tran.cpp")));
        f.Open();
        QVERIFY(!f.Simulate()->isEnabled());
    }

    void simulatesTheExampleWithoutFreezingTheWindow() {
        SimulateFixture f;
        f.Generated();
        // The window's thread must keep turning while the build and the run go on.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        QElapsedTimer took;
        took.start();
        Click(f.dialog, "CommandSimulate");
        sinceTick.start();
        ticks.start(20);
        QVERIFY(f.dialog->IsSimulating());
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Stop"));
        QVERIFY(f.Simulate()->isEnabled());
        QVERIFY(!Control<QWidget>(f.dialog, "CommandGen")->isEnabled());
        QVERIFY(!Control<QWidget>(f.dialog, "CommandRtlFiles")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        ticks.stop();
        qInfo("simulation from the window: %lld ms, longest pause of the window %lld ms",
              took.elapsed(), longestGap);
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));

        const QString status = f.Status();
        for (const QString& expected :
             {QStringLiteral("== Writing the testbench\n"),
              QStringLiteral("== Configuring the build (cmake)\n"),
              QStringLiteral("== Building the simulation (cmake --build)\n"),
              QStringLiteral("== Running the simulation\n"),
              QStringLiteral("Write (0x10, 0xa5)   waits 1\n"),
              QStringLiteral("\nTransactions completed: 9\nSimulated time: 320 ns\nWaveform: ") +
                  f.Output("testbench/waves.vcd") + "\n"})
            QVERIFY2(status.contains(expected), qPrintable(status));
        QVERIFY2(status.endsWith(f.Output("testbench/waves.vcd") + "\n"), qPrintable(status));
        QVERIFY(QFile::exists(f.Output("testbench/waves.vcd")));
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Simulate"));
        QVERIFY(f.Simulate()->isEnabled());
        QVERIFY(Control<QWidget>(f.dialog, "CommandGen")->isEnabled());
        QVERIFY(Control<QWidget>(f.dialog, "ListBuildErrors")->isHidden());
        // The files it wrote say who wrote them.
        QFile main(f.Output("testbench/sc_main.cpp"));
        QVERIFY(main.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(main.readLine()),
                 QStringLiteral("// sc_main.cpp - written by Kestrel's Simulate (Generate window) "
                                "for project MemReqAck.\n"));

        // The run offers its transactions.cpp to the desktop's text editor, and its
        // waveform to GTKWave when that is found on PATH, else to the desktop's program.
        auto* edit = Control<QAbstractButton>(f.dialog, "CommandEditTransactions");
        auto* waveform = Control<QAbstractButton>(f.dialog, "CommandOpenWaveform");
        QVERIFY(!edit->isHidden() && !waveform->isHidden());
        Click(f.dialog, "CommandEditTransactions");
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(f.app.ui.calls.last().text, f.Output("testbench/transactions.cpp"));
        QTemporaryDir bin;
        const QString viewer = bin.path() + "/gtkwave";
        QFile script(viewer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
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
        QCOMPARE(withoutViewer.text, f.Output("testbench/waves.vcd"));
    }

    void stopAndCloseEndTheRun() {
        SimulateFixture f;
        f.Generated();
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(f.Status().contains(QStringLiteral("== Configuring")),
                                 kRunTimeout);
        QElapsedTimer took;
        took.start();
        Click(f.dialog, "CommandSimulate"); // Stop
        QVERIFY(!f.Simulate()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), 10000);
        qInfo("stopped in %lld ms", took.elapsed());
        QVERIFY2(f.Status().endsWith(QStringLiteral("\nSimulation stopped.\n")),
                 qPrintable(f.Status()));
        QCOMPARE(f.Simulate()->text(), QStringLiteral("Simulate"));
        QVERIFY(f.Simulate()->isEnabled());
        QVERIFY(Control<QWidget>(f.dialog, "CommandGen")->isEnabled());

        // Closing the window during a run ends it before the window goes.
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(f.Status().contains(QStringLiteral("== ")), kRunTimeout);
        QPointer<FormGenTran> window = f.dialog;
        took.restart();
        Click(f.dialog, "CommandCancel");
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);
        qInfo("closed during a run in %lld ms", took.elapsed());
        QVERIFY(!QFile::exists(f.Output("testbench/waves.vcd")));
    }

    void buildErrorsOpenWhereTheyWereMade() {
        SimulateFixture f;
        // The FSM route, with a misspelt name in an action of the Write diagram.
        RunCli({"options", f.tp, "--method", "fsm"});
        const QString diagram = f.folder + "/Input/Write.asf";
        QByteArray bytes = FileBytes(diagram);
        QVERIFY(bytes.contains("toLv ( address )\\nwdata"));
        bytes.replace("toLv ( address )\\nwdata", "toLv ( adress )\\nwdata");
        QFile file(diagram);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        f.Generated();
        // A line written into the generated file by hand comes from no diagram.
        AppendTo(f.Output("Tran.cpp"), "#error edited by hand\n");

        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        const QString status = f.Status();
        QVERIFY2(status.contains(
                     QStringLiteral("\nThe simulation did not build: the C++ compiler stopped.\n")),
                 qPrintable(status));
        // The compiler's lines as the build printed them, then the error at the diagram's
        // line.
        QVERIFY2(status.contains(f.Output("Tran.cpp:53:28: error: ")), qPrintable(status));
        QVERIFY2(
            status.contains(diagram + ": In action of state REQUEST:\n" + diagram + ":66: error: "),
            qPrintable(status));

        auto* list = Control<QListWidget>(f.dialog, "ListBuildErrors");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        // In the compiler's order: the preprocessor's error comes first.
        // Shown from the project's folder, the whole path in the tooltip.
        const int mapped = list->item(0)->text().startsWith(QStringLiteral("Input/")) ? 0 : 1;
        const QString atDiagram = list->item(mapped)->text();
        QVERIFY2(atDiagram.startsWith(QStringLiteral("Input/Write.asf:66: error: ")),
                 qPrintable(atDiagram));
        QVERIFY(atDiagram.contains(QStringLiteral("adress")));
        QVERIFY(list->item(mapped)->toolTip().contains(diagram));
        const QString atCpp = list->item(1 - mapped)->text();
        QVERIFY2(atCpp.startsWith(QStringLiteral("Output/Tran.cpp:")), qPrintable(atCpp));
        QVERIFY(atCpp.endsWith(QStringLiteral(": error: #error edited by hand")));

        auto click = [list](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        };
        const qsizetype calls = f.app.ui.calls.size();
        click(mapped);
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), diagram);
        QVERIFY(editor->Document().Lines().size() > 60);
        // The action block of line 66 is selected.
        const std::vector<DiagramObject> selected = editor->Scene().SelectedObjects();
        QCOMPARE(selected.size(), std::size_t{1});
        QCOMPARE(selected[0].kind, DiagramObjectKind::Action);
        QCOMPARE(selected[0].number, editor->Document().Lines()[65].number);
        QCOMPARE(f.app.ui.calls.size(), calls); // no message, no document
        CloseTopLevels<DiagramEditor>();
        click(1 - mapped);
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(f.app.ui.calls.last().text, f.Output("Tran.cpp"));
        QVERIFY(!TopLevel<DiagramEditor>());

        // A new run starts with an empty list.
        Click(f.dialog, "CommandSimulate");
        QVERIFY(list->isHidden());
        QCOMPARE(list->count(), 0);
        f.dialog->done(QDialog::Rejected);
    }

    void verilogFilesGoToTheRun() {
        if (QStandardPaths::findExecutable(QStringLiteral("verilator")).isEmpty())
            QSKIP("Verilator is not installed");
        SimulateFixture f;
        f.Generated();
        auto* label = Control<QLabel>(f.dialog, "LabelRtl");
        const QString model = label->text();
        QVERIFY(model.contains(QStringLiteral("rtl.h")));
        QVERIFY(!Control<QWidget>(f.dialog, "CommandRtlClear")->isEnabled());
        Click(f.dialog, "CommandRtlFiles"); // cancelled
        const UiCall call = f.app.ui.calls.last();
        QCOMPARE(call.kind, QStringLiteral("open files"));
        QCOMPARE(call.filter, QStringLiteral("Verilog Files (*.v *.sv)|*.v;*.sv"));
        QCOMPARE(call.folder, f.folder);
        QVERIFY(f.dialog->RtlFiles().isEmpty());

        // A module without the project's ports is refused before anything is built.
        const QString verilog = f.dir.path() + "/other.v";
        QFile file(verilog);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("module other(input clk, output reg done);\nendmodule\n");
        file.close();
        f.app.ui.filesAnswers << QStringList{verilog};
        Click(f.dialog, "CommandRtlFiles");
        QCOMPARE(label->text(), QStringLiteral("other.v"));
        QCOMPARE(f.dialog->RtlFiles(), QStringList{verilog});
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), kRunTimeout);
        const QString status = f.Status();
        QVERIFY2(status.endsWith(QStringLiteral("\nNo testbench written.\n")), qPrintable(status));
        QVERIFY2(status.contains(QStringLiteral("port req: the project declares sc_in <sc_logic> "
                                                "req, module other has no port of that name\n")),
                 qPrintable(status));
        QVERIFY(!QFile::exists(f.Output("testbench/build")));

        // A module with the project's ports and an active-low reset of its own: the status
        // names the reset before the build (stopped there).
        const QString withReset = f.dir.path() + "/with_reset.v";
        QFile resetFile(withReset);
        QVERIFY(resetFile.open(QIODevice::WriteOnly));
        resetFile.write("module with_reset(input clk, input req, input we, input [7:0] addr,\n"
                        "  input [7:0] wdata, output ack, output [7:0] rdata, input PRESETn);\n"
                        "  assign ack = 0;\n  assign rdata = 0;\nendmodule\n");
        resetFile.close();
        f.app.ui.filesAnswers << QStringList{withReset};
        Click(f.dialog, "CommandRtlFiles");
        Click(f.dialog, "CommandSimulate");
        QTRY_VERIFY_WITH_TIMEOUT(f.Status().contains(QStringLiteral("== Configuring")),
                                 kRunTimeout);
        Click(f.dialog, "CommandSimulate"); // Stop
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog->IsSimulating(), 10000);
        QVERIFY2(f.Status().contains(QStringLiteral(
                     "sim: resets: PRESETn (active low), held for 4 clock cycles by reset.h, "
                     "then released\n== Configuring")),
                 qPrintable(f.Status()));

        Click(f.dialog, "CommandRtlClear");
        QCOMPARE(label->text(), model);
        QVERIFY(f.dialog->RtlFiles().isEmpty());
    }

    void errorLinesOfABuild_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("file"); // empty: no link
        QTest::addColumn<int>("lineNumber");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("diagram");
        QTest::newRow("g++") << "/p/Output/Tran.cpp:53:28: error: 'adress' was not declared"
                             << "/p/Output/Tran.cpp" << 53 << 28 << false;
        QTest::newRow("mapped") << "/p/Input/Write.asf:66: error: 'adress' was not declared"
                                << "/p/Input/Write.asf" << 66 << 0 << true;
        QTest::newRow("diagram named in capitals") << "/p/Input/READ.ASF:7: error: x"
                                                   << "/p/Input/READ.ASF" << 7 << 0 << true;
        QTest::newRow("fatal") << "/p/t.cpp:2:10: fatal error: Tran.h: No such file or directory"
                               << "/p/t.cpp" << 2 << 10 << false;
        QTest::newRow("relative to the build folder")
            << "../sc_main.cpp:9:1: error: x"
            << "/p/Output/testbench/sc_main.cpp" << 9 << 1 << false;
        QTest::newRow("blanks and digits in the path") << "/my work/v2:3/a.cpp:4:5: error: x"
                                                       << "/my work/v2:3/a.cpp" << 4 << 5 << false;
        QTest::newRow("warning") << "/p/a.cpp:4:5: warning: unused"
                                 << "" << 0 << 0 << false;
        QTest::newRow("note") << "/p/a.cpp:4:5: note: declared here"
                              << "" << 0 << 0 << false;
        QTest::newRow("quoted source") << "   53 |   x = 1 ; // a.cpp:1: error: y"
                                       << "" << 0 << 0 << false;
        QTest::newRow("mapped quote") << "    in Tran.cpp:53: error: y"
                                      << "" << 0 << 0 << false;
        QTest::newRow("verilator")
            << "%Error: /p/rtl/top.v:4:5: Cannot find file containing module: 'memory'"
            << "/p/rtl/top.v" << 4 << 5 << false;
        QTest::newRow("verilator without place") << "%Error: Exiting due to 2 error(s)"
                                                 << "" << 0 << 0 << false;
        QTest::newRow("tool without place") << "ninja: error: loading 'build.ninja'"
                                            << "" << 0 << 0 << false;
        QTest::newRow("cmake") << "CMake Error at CMakeLists.txt:12 (add_library):"
                               << "" << 0 << 0 << false;
        QTest::newRow("included from") << "In file included from /p/Tran.cpp:3:"
                                       << "" << 0 << 0 << false;
        QTest::newRow("line zero") << "/p/a.cpp:0: error: x"
                                   << "" << 0 << 0 << false;
        QTest::newRow("no message") << "/p/a.cpp:3: error: "
                                    << "" << 0 << 0 << false;
    }

    void errorLinesOfABuild() {
        QFETCH(QString, line);
        QFETCH(QString, file);
        QFETCH(int, lineNumber);
        QFETCH(int, column);
        QFETCH(bool, diagram);
        const std::optional<BuildErrorLink> link =
            ParseBuildErrorLink(line, QStringLiteral("/p/Output/testbench/build"));
        QCOMPARE(link.has_value(), !file.isEmpty());
        if (!link) return;
        QCOMPARE(link->text, line);
        QCOMPARE(link->file, file);
        QCOMPARE(link->line, lineNumber);
        QCOMPARE(link->column, column);
        QCOMPARE(link->IsDiagram(), diagram);
    }

    void errorLinksOfAWholeOutput() {
        const QString output = QStringLiteral("FAILED: Tran.cpp.o\r\n"
                                              "/p/Tran.cpp: In member function 'Write':\r\n"
                                              "/p/Tran.cpp:53:28: error: one\r\n"
                                              "   53 |   x ;\r\n"
                                              "/p/W.asf:66: error: two\n"
                                              "/p/Tran.cpp:53:28: error: one\n"
                                              "ninja: build stopped: subcommand failed.\n");
        const QList<BuildErrorLink> links = BuildErrorLinks(output, QStringLiteral("/p"));
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[0].text, QStringLiteral("/p/Tran.cpp:53:28: error: one"));
        QCOMPARE(links[1].file, QStringLiteral("/p/W.asf"));
        QVERIFY(BuildErrorLinks(QString(), QStringLiteral("/p")).isEmpty());
    }

    void summaryOfARun() {
        SimulationReport done;
        done.outcome.reached = SimulationStep::Done;
        done.outcome.exitCode = 0;
        done.outcome.transactions = 9;
        done.outcome.simulatedTime = "320 ns";
        done.outcome.waveform = "/p/Output/testbench/waves.vcd";
        QCOMPARE(SimulationSummaryText(done),
                 QStringLiteral("\nTransactions completed: 9\nSimulated time: 320 ns\n"
                                "Waveform: /p/Output/testbench/waves.vcd\n"));

        SimulationReport limited = done;
        limited.outcome.exitCode = 1;
        limited.outcome.timeLimitReached = true;
        QVERIFY(SimulationSummaryText(limited).endsWith(
            QStringLiteral("\nThe simulation ended with status 1 (time limit reached).\n")));

        // A SystemC error ends the run before its summary.
        SimulationReport aborted = done;
        aborted.outcome.exitCode = 1;
        aborted.outcome.transactions = 0;
        aborted.outcome.simulatedTime.clear();
        QCOMPARE(SimulationSummaryText(aborted),
                 QStringLiteral("\nTransactions completed: 0\nSimulated time: not reported: the "
                                "simulation ended before its summary (its output says why)\n"
                                "Waveform: /p/Output/testbench/waves.vcd\n"
                                "The simulation ended with status 1 before its summary.\n"));

        SimulationReport refused;
        refused.outcome.testbench.problems = {"port ack: missing", "port req: missing"};
        QCOMPARE(SimulationSummaryText(refused),
                 QStringLiteral("port ack: missing\nport req: missing\nNo testbench written.\n"));

        SimulationReport broken;
        broken.outcome.reached = SimulationStep::Build;
        broken.outcome.buildOutput = "/p/Tran.cpp:1:1: error: x\n";
        broken.diagnostics = "/p/W.asf:66: error: x\n    in Tran.cpp:1: y\n";
        QCOMPARE(SimulationSummaryText(broken),
                 QStringLiteral("\nThe simulation did not build.\n\n/p/W.asf:66: error: x\n"
                                "    in Tran.cpp:1: y\n"));
        SimulationReport verilator = broken;
        verilator.failure = "Verilator stopped on the Verilog";
        verilator.diagnostics = "%Error: /p/top.v:3:5: Cannot find file containing module: 'm'\n";
        QCOMPARE(SimulationSummaryText(verilator),
                 QStringLiteral("\nThe simulation did not build: Verilator stopped on the "
                                "Verilog.\n\n%Error: /p/top.v:3:5: Cannot find file containing "
                                "module: 'm'\n"));
        // Stopped or timed out during the build: no build failure to report.
        SimulationReport stopped = broken;
        stopped.outcome.stopped = true;
        QCOMPARE(SimulationSummaryText(stopped), QStringLiteral("\nSimulation stopped.\n"));
        SimulationReport late = broken;
        late.outcome.timedOut = true;
        QCOMPARE(SimulationSummaryText(late),
                 QStringLiteral("\nThe build ran past its time-out and was stopped.\n"));
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormGenTranSimulateTest)
#include "FormGenTranSimulateTest.moc"
