// One project made through the windows from start to generated transactor: New Project,
// the declarations of the MemReqAck example (kestrel-cli declare), Open Project, Code
// Settings, Generate AsmL Template with the real document converter, the template's text
// completed with the behaviour and assigned, and Generate. The generated files equal those
// of kestrel-cli generate on the same project, and hold the translated behaviour.
#include "FormGenTran.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "model/Assignments.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <map>

namespace kestrel::test {

namespace {

// The generated files without the lines that carry the time of the run.
QByteArray WithoutDates(const QByteArray& bytes) {
    QByteArray kept;
    for (const QByteArray& line : bytes.split('\n'))
        if (!line.contains(" @ ")) kept += line + '\n';
    return kept;
}

// What the designer writes into each function's namespace of the template: the local
// variable, the clock and the state machine (the MemReqAck example's behaviour).
const char* const kVariable = "        var n as Integer = 0";
const char* const kClock = "        SetClockSignal ( clk , true )";
const QStringList kWriteBody = {
    "        step",
    "          addr := toLv ( address )",
    "          wdata := toLv ( data )",
    "          we := LOGIC_1",
    "          req := LOGIC_1",
    "        step while ack = LOGIC_0",
    "          n := n + 1",
    "        step",
    "          req := LOGIC_0",
    "          we := LOGIC_0",
    "          waits := n",
};
const QStringList kReadBody = {
    "        step",
    "          addr := toLv ( address )",
    "          we := LOGIC_0",
    "          req := LOGIC_1",
    "        step while ack = LOGIC_0",
    "          n := n + 1",
    "        step",
    "          data := toInt ( rdata )",
    "          req := LOGIC_0",
    "          waits := n",
};

// The template text with the behaviour filled in below the comments that ask for it; the
// function namespaces come in table order (Write, then Read).
QByteArray CompleteTemplate(const QByteArray& templateText) {
    QByteArray out;
    int function = 0;
    for (const QByteArray& line : templateText.split('\n')) {
        if (line.isEmpty()) continue; // after the last line end
        out += line + '\n';
        const QByteArray text = line.trimmed();
        if (text == "// Declare Local AsmL Variables here")
            out += QByteArray(kVariable) + "\r\n";
        else if (text == "// Specify the RTL Clock Signal here")
            out += QByteArray(kClock) + "\r\n";
        else if (text == "// Start writing State Machine from here")
            for (const QString& body : function++ == 0 ? kWriteBody : kReadBody)
                out += body.toLatin1() + "\r\n";
    }
    return out;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void projectFromNewToGeneratedThroughTheWindows() {
        QTemporaryDir dir;
        TestApp app;
        app.main->Start(QString());
        const QString folder = dir.path() + "/MemReqAck";
        const QString tp = folder + "/MemReqAck.tp";

        // New Project.
        app.main->RunCommand(AppCommand::NewProject);
        QDialog* window = app.main->OpenWindow();
        QVERIFY(window);
        Control<QLineEdit>(window, "TextPName")->setText(QStringLiteral("MemReqAck"));
        Control<QLineEdit>(window, "TextWD")->setText(dir.path());
        Click(window, "CommandOK");
        QCOMPARE(int(app.main->Project().projectStage), 1);
        QVERIFY(!app.main->MenuItem(AppCommand::AsmlSpecification)->isEnabled());

        // The declarations, then the project opened again in the main window.
        RunCli({"declare", tp, ExamplesFolder() + "/MemReqAck/declarations.json"});
        app.ui.fileAnswers << tp;
        app.main->RunCommand(AppCommand::OpenProject);
        QCOMPARE(int(app.main->Project().projectStage), 2);

        // Code Settings: the AsmL method.
        app.main->RunCommand(AppCommand::CodeSettings);
        window = app.main->OpenWindow();
        QVERIFY(window);
        Click(window, "OptionMethod2");
        Click(window, "CommandOK");
        QVERIFY(!app.main->OpenWindow());

        // Generate AsmL Template with kestrel-docgen; the document is not opened.
        app.main->RunCommand(AppCommand::AsmlSpecification);
        window = app.main->OpenWindow();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("FormAssignAsmL"));
        const QString document = dir.path() + "/docs/MemReqAck.doc";
        QDir().mkpath(dir.path() + "/docs");
        app.ui.fileAnswers << document;
        app.ui.messageAnswers << kAnswerNo;
        Click(window, "CommandGenTemp");
        QCOMPARE(app.ui.calls.last().title, QStringLiteral("Open with MS Word?"));
        QVERIFY(QFileInfo(document).size() > 0);
        QVERIFY(FileBytes(document).startsWith("PK")); // a word-processing document

        // The designer completes the template and assigns the result.
        const QByteArray templateText = FileBytes(folder + "/Temp/template.asml");
        QVERIFY(templateText.contains("      namespace nsWrite\r\n"));
        const QString edited = dir.path() + "/docs/MemReqAckSpec.doc";
        {
            QFile file(edited);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(CompleteTemplate(templateText));
        }
        app.ui.fileAnswers << edited;
        Click(window, "CommandBrs");
        Click(window, "CommandOK");
        QCOMPARE(int(app.main->Project().projectStage), 3);
        QVERIFY(app.main->MenuItem(AppCommand::Generate)->isEnabled());
        AsmlAssignment assignment;
        QVERIFY(LoadAsmlAssignment(ToCore(folder), assignment).ok());
        QCOMPARE(FromCore(assignment.asmlDocumentPath), document);
        QCOMPARE(FromCore(assignment.asmlDocumentLabel), QStringLiteral("MemReqAckSpec.doc"));
        QVERIFY(assignment.asmlAssigned);

        // Generate from the window.
        app.main->RunCommand(AppCommand::Generate);
        window = app.main->OpenWindow();
        QVERIFY(window);
        Click(window, "CommandGen");
        const QString status = Control<QPlainTextEdit>(window, "TextStatus")->toPlainText();
        QVERIFY2(status.endsWith(QStringLiteral("Transactor Generation Completed!\n"
                                                "0 Error(s), 0 Warning(s)\n")),
                 qPrintable(status));
        Click(window, "CommandCancel");

        const QStringList files = {"Output/TLM_AIC.h", "Output/Tran.h", "Output/Tran.cpp",
                                   "MemReqAck.log"};
        std::map<QString, QByteArray> fromWindows;
        for (const QString& file : files) {
            fromWindows[file] = FileBytes(folder + "/" + file);
            QVERIFY2(!fromWindows[file].isEmpty(), qPrintable(file));
        }
        // The behaviour went through the assigned document into the transactor.
        const QByteArray cpp = fromWindows["Output/Tran.cpp"];
        QVERIFY2(cpp.contains("Write_n") && cpp.contains("Read_n"), cpp.constData());

        RunCli({"generate", tp});
        for (const QString& file : files)
            QCOMPARE(WithoutDates(FileBytes(folder + "/" + file)), WithoutDates(fromWindows[file]));
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::EndToEndTest)
#include "EndToEndTest.moc"
