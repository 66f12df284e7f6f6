// The Generate window: its boxes from gen.dat, the three browse buttons, a run from the
// window (status box, progress bar) that writes the same files as kestrel-cli generate,
// OK saving the boxes trimmed, and Cancel saving nothing; the status box's font and size.
#include "FormGenTran.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "generate/Generate.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>

namespace kestrel::test {

namespace {

// The example project MemBus (template method) copied into a temporary folder, with its
// generated files pointed at the copy and the stage at which Generate is offered.
struct GenerateFixture {
    QTemporaryDir dir;
    QString folder;
    QString tp;
    TestApp app;
    FormGenTran* dialog = nullptr;

    GenerateFixture() {
        folder = dir.path() + "/MemBus";
        CopyFolder(ExamplesFolder() + "/MemBus", folder);
        QDir().mkpath(folder + "/Output");
        QDir().mkpath(folder + "/Temp");
        tp = folder + "/MemBus.tp";
        ProjectRecord project;
        if (!OpenProject(ToCore(tp), project).ok()) qFatal("cannot open the example copy");
        SetStoredStage(project, 3);
        if (!AcceptGenerateDialog(ToCore(folder), DefaultGenerationSettings(ToCore(folder))).ok())
            qFatal("cannot point the example's generated files at the copy");
        app.main->Start(tp);
        app.main->RunCommand(AppCommand::Generate);
        dialog = app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
    }

    QByteArray StoredSettings() const {
        return FileBytes(FromCore(InputPath(ToCore(folder), kGenerationFile)));
    }
};

// A generated file without its date line(s), which differ between two runs.
QByteArray WithoutDates(const QByteArray& bytes) {
    QByteArray kept;
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.startsWith("Date:")) kept += line + '\n';
    }
    return kept;
}

} // namespace

class FormGenTranTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheStoredSettings() {
        GenerateFixture f;
        QVERIFY(f.dialog);
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Generate SystemC Transactor"));
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextTCName")->text(), QStringLiteral("clsTran"));
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextAICName")->text(), QStringLiteral("clsTLM_AIC"));
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextTCPPFName")->text(),
                 f.folder + "/Output/Tran.cpp");
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextTHFName")->text(), f.folder + "/Output/Tran.h");
        QCOMPARE(Control<QLineEdit>(f.dialog, "TextAICHFName")->text(),
                 f.folder + "/Output/TLM_AIC.h");
        QCOMPARE(Control<QAbstractButton>(f.dialog, "CommandSet")->text(),
                 QStringLiteral("Code Generation Settings..."));
        QCOMPARE(Control<QAbstractButton>(f.dialog, "CommandGen")->text(),
                 QStringLiteral("Generate SystemC Transactor"));
    }

    void theStatusBoxIsFixedPitch() {
        // Also where the desktop's monospace font is a proportional one.
        if (!OnOtherDesktop())
            QCOMPARE(RunOnOtherDesktop("theStatusBoxIsFixedPitch",
                                       {{},
                                        "<match target=\"pattern\"><test name=\"family\"><string>"
                                        "monospace</string></test><edit name=\"family\" "
                                        "mode=\"prepend\" binding=\"strong\"><string>DejaVu "
                                        "Serif</string></edit></match>"}),
                     0);
        GenerateFixture f;
        // Every character as wide as the others, so that the log's columns line up.
        const QFontMetrics metrics(Control<QPlainTextEdit>(f.dialog, "TextStatus")->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
                 metrics.horizontalAdvance(QStringLiteral("WWWW")));
        // A proportional font gives way to a fixed-pitch family of its size.
        const QFont proportional = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        QVERIFY(!IsFixedPitch(proportional));
        const QFont chosen = FixedPitchFont(proportional);
        QVERIFY(IsFixedPitch(chosen));
        QCOMPARE(chosen.pointSizeF(), proportional.pointSizeF());
        QCOMPARE(FixedPitchFont(chosen), chosen);
    }

    void theStatusBoxShowsLinesEnough() {
        // Also on a small screen, where the window still fits.
        if (!OnOtherDesktop())
            QCOMPARE(RunOnOtherDesktop("theStatusBoxShowsLinesEnough", {QSize(1024, 600), {}}), 0);
        GenerateFixture f;
        auto* status = Control<QPlainTextEdit>(f.dialog, "TextStatus");
        QCoreApplication::sendPostedEvents();
        const QRect screen = f.dialog->screen()->availableGeometry();
        const QRect frame = f.dialog->frameGeometry();
        QVERIFY2(screen.contains(frame), qPrintable(QString::number(frame.height())));
        const int lines = status->viewport()->height() / status->fontMetrics().lineSpacing();
        QVERIFY2(lines >= (screen.height() > 600 ? 16 : 8), qPrintable(QString::number(lines)));
    }

    void browseButtons() {
        GenerateFixture f;
        struct Case {
            const char* button;
            const char* box;
            QString title;
            QString filter;
        };
        const QString header = QStringLiteral("C++ Header File (*.h)|*.h");
        const Case cases[] = {
            {"CommandSaveAsAICH", "TextAICHFName",
             "Save Abstract Interface Class Header File As...", header},
            {"CommandSaveAsTH", "TextTHFName", "Save Transactor Header File As...", header},
            {"CommandSaveAsTCPP", "TextTCPPFName", "Save Transactor C++ File As...",
             "C++ File (*.cpp)|*.cpp"},
        };
        for (const Case& c : cases) {
            auto* box = Control<QLineEdit>(f.dialog, c.box);
            const QString before = box->text();
            Click(f.dialog, c.button); // cancelled
            const UiCall call = f.app.ui.calls.last();
            QCOMPARE(call.kind, QStringLiteral("save"));
            QCOMPARE(call.title, c.title);
            QCOMPARE(call.filter, c.filter);
            QCOMPARE(call.folder, f.folder + "/Output");
            QCOMPARE(box->text(), before);
            f.app.ui.fileAnswers << QStringLiteral("/elsewhere/") + c.box;
            Click(f.dialog, c.button);
            QCOMPARE(box->text(), QStringLiteral("/elsewhere/") + c.box);
        }
    }

    void generateWritesWhatTheCommandLineWrites() {
        GenerateFixture f;
        Click(f.dialog, "CommandGen");
        const QString status = Control<QPlainTextEdit>(f.dialog, "TextStatus")->toPlainText();
        QVERIFY2(status.startsWith(QStringLiteral(":: Generating Transactor Template ::\n")),
                 qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("\nTransactor Generation Completed!\n"
                                                "0 Error(s), 0 Warning(s)\n")),
                 qPrintable(status));
        QCOMPARE(status, MultiLineFromCore(f.app.session.log.StatusText()));
        auto* progress = Control<QProgressBar>(f.dialog, "ProgressBarGen");
        QCOMPARE(progress->maximum(), 3);
        QCOMPARE(progress->value(), 3);

        const QStringList files = {"Output/TLM_AIC.h", "Output/Tran.h", "Output/Tran.cpp",
                                   "MemBus.log"};
        std::map<QString, QByteArray> fromWindow;
        for (const QString& file : files) {
            fromWindow[file] = FileBytes(f.folder + "/" + file);
            QVERIFY2(!fromWindow[file].isEmpty(), qPrintable(file));
        }
        QVERIFY(
            fromWindow["Output/Tran.h"].contains("Date:    Friday, Dec 4, 2026 @ 09:51:15 AM\r\n"));

        // A second run from the window gives the same files and a fresh status text.
        Click(f.dialog, "CommandGen");
        QCOMPARE(Control<QPlainTextEdit>(f.dialog, "TextStatus")->toPlainText(), status);
        for (const QString& file : files)
            QCOMPARE(FileBytes(f.folder + "/" + file), fromWindow[file]);

        QProcess cli;
        cli.start(BuiltBinFolder() + "/kestrel-cli", {"generate", f.tp});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        for (const QString& file : files) {
            const QByteArray fromCli = FileBytes(f.folder + "/" + file);
            QVERIFY2(fromCli.contains("\r\n"), qPrintable(file));
            QCOMPARE(WithoutDates(fromCli), WithoutDates(fromWindow[file]));
        }
    }

    void okSavesTrimmedAndCancelSavesNothing() {
        {
            GenerateFixture f;
            const QByteArray before = f.StoredSettings();
            Control<QLineEdit>(f.dialog, "TextTCName")->setText(QStringLiteral("clsOther"));
            Click(f.dialog, "CommandCancel");
            QTRY_VERIFY(!f.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran")));
            QCOMPARE(f.StoredSettings(), before);
            QVERIFY(f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
            QVERIFY(f.app.main->MenuItem(AppCommand::Generate)->isEnabled());
        }
        GenerateFixture f;
        Control<QLineEdit>(f.dialog, "TextTCName")->setText(QStringLiteral("  clsBus "));
        Control<QLineEdit>(f.dialog, "TextAICHFName")->setText(QStringLiteral(" /x/If.h  "));
        Click(f.dialog, "CommandOK");
        QTRY_VERIFY(!f.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran")));
        GenerationSettings stored;
        QVERIFY(LoadGenerationSettings(ToCore(f.folder), stored).ok());
        QCOMPARE(QString::fromStdString(stored.transactorClassName), QStringLiteral("clsBus"));
        QCOMPARE(QString::fromStdString(stored.interfaceHeaderPath), QStringLiteral("/x/If.h"));
        QCOMPARE(QString::fromStdString(stored.interfaceClassName), QStringLiteral("clsTLM_AIC"));
        QVERIFY(f.app.main->Menu("MenuFile")->menuAction()->isEnabled());
        // The session's log no longer reports to the closed window.
        QVERIFY(f.app.session.log.Observer() == nullptr);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormGenTranTest)
#include "FormGenTranTest.moc"
