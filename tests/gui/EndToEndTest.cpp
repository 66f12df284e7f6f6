// One project made through the windows from start to generated transactor: New Project,
// the declarations of the MemReqAck example (kestrel-cli declare), Open Project, Code
// Settings, Generate AsmL Template with the real document converter, the template's text
// completed with the behaviour and assigned, and Generate. The generated files equal those
// of kestrel-cli generate on the same project, and hold the translated behaviour. And Enter
// and Escape in every window.
#include "FormGenTran.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "generate/Generate.h"
#include "model/Assignments.h"
#include "project/ProjectCommands.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <map>

namespace kestrel::test {

namespace {

// What the designer writes into each function's namespace of the template: the local
// variable, the clock and the state machine (the MemReqAck example's behaviour).
const QByteArray kVariable = "        var n as Integer = 0\r\n";
const QByteArray kClock = "        SetClockSignal ( clk , true )\r\n";
const QByteArray kWriteBody = "        step\r\n          addr := toLv ( address )\r\n"
                              "          wdata := toLv ( data )\r\n          we := LOGIC_1\r\n"
                              "          req := LOGIC_1\r\n        step while ack = LOGIC_0\r\n"
                              "          n := n + 1\r\n        step\r\n          req := LOGIC_0\r\n"
                              "          we := LOGIC_0\r\n          waits := n\r\n";
const QByteArray kReadBody = "        step\r\n          addr := toLv ( address )\r\n"
                             "          we := LOGIC_0\r\n          req := LOGIC_1\r\n"
                             "        step while ack = LOGIC_0\r\n          n := n + 1\r\n"
                             "        step\r\n          data := toInt ( rdata )\r\n"
                             "          req := LOGIC_0\r\n          waits := n\r\n";

// The template text with the behaviour filled in below the comments that ask for it; the
// function namespaces come in table order (Write, then Read).
QByteArray CompleteTemplate(const QByteArray& templateText) {
    QByteArray out;
    int function = 0;
    for (const QByteArray& line : templateText.split('\n')) {
        if (line.isEmpty()) continue; // after the last line end
        out += line + '\n';
        const QByteArray text = line.trimmed();
        if (text == "// Declare Local AsmL Variables here") out += kVariable;
        if (text == "// Specify the RTL Clock Signal here") out += kClock;
        if (text == "// Start writing State Machine from here")
            out += function++ == 0 ? kWriteBody : kReadBody;
    }
    return out;
}

using C = AppCommand;

// The example MemReqAck (both behaviour methods assigned, stage 3) in a temporary folder.
struct ExampleFixture {
    QTemporaryDir dir;
    QString folder = dir.path() + "/MemReqAck";
    TestApp app;

    ExampleFixture() {
        CopyFolder(ExamplesFolder() + "/MemReqAck", folder);
        if (!AcceptGenerateDialog(ToCore(folder), DefaultGenerationSettings(ToCore(folder))).ok())
            qFatal("cannot point the example's generated files at the copy");
        app.main->Start(folder + "/MemReqAck.tp");
    }

    // Opens the window a command opens, then the sub-windows the buttons named open.
    QDialog* Open(C command, const std::vector<const char*>& clicks) {
        app.main->RunCommand(command);
        QDialog* window = app.main->OpenWindow();
        for (const char* name : clicks) {
            if (!window) return nullptr;
            Click(window, name);
            QDialog* child = nullptr;
            for (QDialog* candidate : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
                if (candidate->isVisible()) child = candidate;
            window = child;
        }
        return window;
    }
};

// Where a user types: the first enabled text box, else the first list, else the window.
QWidget* TypingPlace(QDialog* window) {
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        if (box->isEnabled() && box->isVisible() && !box->isReadOnly()) return box;
    for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>())
        if (list->isEnabled() && list->isVisible()) return list;
    return window;
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

        app.main->RunCommand(AppCommand::NewProject);
        QDialog* window = app.main->OpenWindow();
        QVERIFY(window);
        Control<QLineEdit>(window, "TextPName")->setText(QStringLiteral("MemReqAck"));
        Control<QLineEdit>(window, "TextWD")->setText(dir.path());
        Click(window, "CommandOK");

        // The declarations, then the project opened again in the main window.
        RunCli({"declare", tp, ExamplesFolder() + "/MemReqAck/declarations.json"});
        app.ui.fileAnswers << tp;
        app.main->RunCommand(AppCommand::OpenProject);
        QCOMPARE(int(app.main->Project().projectStage), 2);

        app.main->RunCommand(AppCommand::CodeSettings);
        Click(app.main->OpenWindow(), "OptionMethod2"); // the AsmL method
        Click(app.main->OpenWindow(), "CommandOK");
        QVERIFY(!app.main->OpenWindow());

        // Generate AsmL Template with kestrel-docgen; the document is not opened.
        app.main->RunCommand(AppCommand::AsmlSpecification);
        window = app.main->OpenWindow();
        QVERIFY(window);
        const QString document = dir.path() + "/docs/MemReqAck.doc";
        QDir().mkpath(dir.path() + "/docs");
        app.ui.fileAnswers << document;
        app.ui.messageAnswers << kAnswerNo;
        Click(window, "CommandGenTemp");
        QCOMPARE(app.ui.calls.last().title, QStringLiteral("Open with MS Word?"));
        QVERIFY(FileBytes(document).startsWith("PK")); // a word-processing document

        // The designer completes the template and assigns the result.
        const QString edited = dir.path() + "/docs/MemReqAckSpec.doc";
        WriteTestFile(edited, CompleteTemplate(FileBytes(folder + "/Temp/template.asml")));
        app.ui.fileAnswers << edited;
        Click(window, "CommandBrs");
        Click(window, "CommandOK");
        QCOMPARE(int(app.main->Project().projectStage), 3);
        AsmlAssignment assignment;
        QVERIFY(LoadAsmlAssignment(ToCore(folder), assignment).ok());
        QCOMPARE(FromCore(assignment.asmlDocumentLabel), QStringLiteral("MemReqAckSpec.doc"));

        app.main->RunCommand(AppCommand::Generate);
        window = app.main->OpenWindow();
        QVERIFY(window);
        Click(window, "CommandGen");
        const QString status = Control<QPlainTextEdit>(window, "TextStatus")->toPlainText();
        QVERIFY2(status.endsWith(QStringLiteral("0 Error(s), 0 Warning(s)\n")), qPrintable(status));
        Click(window, "CommandCancel");

        // The behaviour went through the assigned document into the transactor, as
        // kestrel-cli generate writes it.
        const QStringList files = {"Output/TLM_AIC.h", "Output/Tran.h", "Output/Tran.cpp",
                                   "MemReqAck.log"};
        std::map<QString, QByteArray> fromWindows;
        for (const QString& file : files) fromWindows[file] = FileBytes(folder + "/" + file);
        const QByteArray cpp = fromWindows["Output/Tran.cpp"];
        QVERIFY2(cpp.contains("Write_n") && cpp.contains("Read_n"), cpp.constData());
        RunCli({"generate", tp});
        for (const QString& file : files)
            QCOMPARE(WithoutDates(FileBytes(folder + "/" + file)), WithoutDates(fromWindows[file]));
    }

    // Enter in a text box or list acts as the window's OK (its default button), Escape as
    // its Cancel, in every window, reached as a user reaches it.
    void enterIsOkAndEscapeIsCancel() {
        const struct {
            const char* name;
            C command;
            std::vector<const char*> clicks;
        } rows[] = {{"FormNewProject", C::NewProject, {}},
                    {"FormTLM", C::TlmInterface, {}},
                    {"FormTLM_Func", C::TlmInterface, {"CommandAdd"}},
                    {"FormTLM_FuncPara", C::TlmInterface, {"CommandAdd", "CommandAdd"}},
                    {"FormRTL", C::RtlInterface, {}},
                    {"FormRTL_Type", C::RtlInterface, {"CommandAdd"}},
                    {"FormOption", C::CodeSettings, {}},
                    {"FormAddLibrary", C::AddLibrary, {}},
                    {"FormAssignAsmL", C::AsmlSpecification, {}},
                    {"FormAssignFSM", C::FsmSpecification, {}},
                    {"FormGenTran", C::Generate, {}},
                    {"FormOption", C::Generate, {"CommandSet"}}};
        for (const auto& r : rows) {
            ExampleFixture f;
            QDialog* window = f.Open(r.command, r.clicks);
            QVERIFY2(window, r.name);
            QCOMPARE(window->objectName(), QString::fromLatin1(r.name));
            auto* ok = Control<QPushButton>(window, "CommandOK");
            QVERIFY2(ok && ok->isDefault(), r.name);
            QSignalSpy pressed(ok, &QAbstractButton::clicked);
            QTest::keyClick(TypingPlace(window), Qt::Key_Return);
            QTRY_COMPARE(pressed.count(), 1);

            ExampleFixture again;
            window = again.Open(r.command, r.clicks);
            QSignalSpy finished(window, &QDialog::finished);
            QTest::keyClick(TypingPlace(window), Qt::Key_Escape);
            QCOMPARE(finished.count(), 1);
            QCOMPARE(finished.first().first().toInt(), static_cast<int>(QDialog::Rejected));
        }
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::EndToEndTest)
#include "EndToEndTest.moc"
