// The Add Library window: the starting folder and its library list, the folder browser,
// Add Library (entry list, progress bar, message, wait cursor restored) passing on a refusal
// and a success, OK saving the tables, the library folder and the stage, and Cancel
// dropping what was added. Reading libraries is tested in tests/core/library.
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

namespace kestrel::test {

namespace {

// One library entry as stored: name, zero byte, size in decimal, zero byte, content.
QByteArray Entry(const std::string& name, const std::string& content) {
    std::string bytes = name + '\0' + std::to_string(content.size()) + '\0' + content;
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Mem.tlib: the library functions memRead and memWrite, the signal ready and the eight
// section files. Evil.tlib: a table entry followed by an entry that climbs out of Temp.
void MakeLibraries(const QString& folder) {
    const std::string functions = EncodeTlmFunction(TestFunction("memRead", 0, {}, true)) +
                                  EncodeTlmFunction(TestFunction("memWrite", 0, {}, true));
    const RtlSignal ready = TestSignal("ready", 0, 0, 1, "0", false, true);
    QByteArray mem =
        Entry("lib_tlm_func.dat", functions) + Entry("lib_rtl_sig.dat", EncodeRtlSignal(ready));
    for (const char* name : {"memRead", "memWrite"})
        for (const char* ext : {".dec", ".ini", ".asm", ".upd"})
            mem += Entry(std::string(name) + ext, std::string("// ") + name + ext + "\r\n");
    WriteTestFile(folder + "/Mem.tlib", mem);
    WriteTestFile(folder + "/Evil.tlib",
                  Entry("lib_tlm_func.dat", "") + Entry("../evil.dec", "evil"));
    WriteTestFile(folder + "/notes.txt", "not a library");
}

// A project "Host" with one function of its own and no signal (stage 1), the libraries
// in <dir>/libs, and the Add Library window opened.
struct OpenedAddLibrary : ProjectFixture {
    QString libs = dir.path() + "/libs";
    QDialog* dialog;

    OpenedAddLibrary()
        : ProjectFixture(QStringLiteral("Host"), {TestFunction("own", 0, {})}),
          dialog(Open(AppCommand::AddLibrary)) {
        MakeLibraries(libs);
    }

    QListWidget* Files() const { return Control<QListWidget>(dialog, "FileLib"); }
    QStringList Entries() const {
        QStringList names;
        auto* list = Control<QListWidget>(dialog, "ListExtract");
        for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
        return names;
    }
    void BrowseToLibs() {
        app.ui.folderAnswers << libs;
        Click(dialog, "CommandBrsLibFolder");
    }
    void Add(const QString& file) {
        auto items = Files()->findItems(file, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        Files()->setCurrentItem(items.first());
        Click(dialog, "CommandAddLib");
    }
};

} // namespace

class FormAddLibraryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheProjectFolderAndBrowses() {
        OpenedAddLibrary a;
        // The library folder (Output) holds no file: the project folder is shown instead.
        auto* folder = Control<QLabel>(a.dialog, "LabelLibFolder");
        QCOMPARE(folder->text(), a.folder);
        auto* add = Control<QAbstractButton>(a.dialog, "CommandAddLib");
        QVERIFY(!add->isEnabled());

        Click(a.dialog, "CommandBrsLibFolder"); // cancelled
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("folder"));
        QCOMPARE(a.app.ui.calls.last().folder, a.folder);
        QCOMPARE(folder->text(), a.folder);
        a.BrowseToLibs();
        QCOMPARE(folder->text(), a.libs);
        QCOMPARE(a.Files()->count(), 2);
        QCOMPARE(a.Files()->item(1)->text(), QStringLiteral("Mem.tlib"));
        QVERIFY(add->isEnabled());
        a.app.ui.folderAnswers << a.folder + "/Output";
        Click(a.dialog, "CommandBrsLibFolder");
        QCOMPARE(a.Files()->count(), 0);
        QVERIFY(!add->isEnabled());
    }

    void refusedThenAddedTwiceThenOk() {
        OpenedAddLibrary a;
        a.BrowseToLibs();
        a.Add(QStringLiteral("Evil.tlib"));
        ExpectMessage(a.app.ui, "Unable to Extract Transactor Library");
        QVERIFY(!QApplication::overrideCursor());

        a.Add(QStringLiteral("Mem.tlib"));
        ExpectMessage(a.app.ui, "Mem.tlib Added Successfully!", MessageIcon::Information);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(a.dialog->isEnabled());
        QCOMPARE(a.Entries().size(), 10);
        QCOMPARE(a.Entries().last(), QStringLiteral("memWrite.upd"));
        auto* progress = Control<QProgressBar>(a.dialog, "ProgressBarAddLib");
        QCOMPARE(progress->maximum(), 13);
        QCOMPARE(progress->value(), 13);
        a.Add(QStringLiteral("Mem.tlib"));
        Click(a.dialog, "CommandOK");

        auto t = StoredFunctions(a.project);
        QCOMPARE(int(t->count), 5);
        QCOMPARE(QString::fromStdString((*t)[5].functionName.Text()), QStringLiteral("memWrite"));
        QVERIFY((*t)[5].isLibrary && !(*t)[1].isLibrary);
        QCOMPARE(a.Stored("rtl_sig.dat").size(), qsizetype(2 * RtlSignal::kRecordSize));
        ProjectOptions options;
        QVERIFY(LoadOptions(a.project.projectFolder, options).ok());
        QCOMPARE(FromCore(options.libraryFolder), a.libs);
        // Functions and signals are now declared: stage 2 and its commands.
        ProjectRecord stored;
        QVERIFY(ReadProjectFile(ProjectFilePath(a.project), stored).ok());
        QCOMPARE(int(stored.projectStage), 2);
        QVERIFY(a.app.main->MenuItem(AppCommand::AsmlSpecification)->isEnabled());

        // Opened again, the window starts in the folder it was left in.
        a.app.main->RunCommand(AppCommand::AddLibrary);
        QWidget* again = a.app.main->OpenWindow();
        QVERIFY(again);
        QCOMPARE(Control<QLabel>(again, "LabelLibFolder")->text(), a.libs);
        Click(again, "CommandCancel");
    }

    void cancelDropsWhatWasAdded() {
        OpenedAddLibrary a;
        const QByteArray functions = a.Stored("tlm_func.dat");
        const QByteArray options = a.Stored("option.dat");
        const QByteArray tp = FileBytes(TpPath(a.project));
        a.BrowseToLibs();
        a.Add(QStringLiteral("Mem.tlib"));
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored("tlm_func.dat"), functions);
        QCOMPARE(a.Stored("option.dat"), options);
        QCOMPARE(FileBytes(TpPath(a.project)), tp);
        QCOMPARE(int(a.app.main->Project().projectStage), 1);
        QVERIFY(a.app.main->MenuItem(AppCommand::AddLibrary)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormAddLibraryTest)
#include "FormAddLibraryTest.moc"
