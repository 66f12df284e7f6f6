// Support of the window tests: fake seams, project folders through the core, control
// lookups by name.
#include "GuiTestSupport.h"

#include "GuiText.h"
#include "generate/Generate.h"
#include "project/ProjectCommands.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

namespace kestrel::test {

QString BuiltHelpFolder() {
    return QStringLiteral(KESTREL_BUILD_DIR) + QStringLiteral("/share/kestrel/help");
}
QString BuiltBinFolder() {
    return QStringLiteral(KESTREL_BUILD_DIR) + QStringLiteral("/bin");
}
QString ExamplesFolder() {
    return QStringLiteral(KESTREL_SOURCE_DIR) + QStringLiteral("/examples");
}

QByteArray RunCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(BuiltBinFolder() + "/kestrel-cli", arguments);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
        qFatal("kestrel-cli %s failed: %s", qPrintable(arguments.join(' ')),
               cli.readAllStandardError().constData());
    return cli.readAllStandardOutput();
}

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

TestApp::TestApp() {
    main = std::make_unique<MainWindow>(context);
    main->show();
}

ExampleProject::ExampleProject() {
    CopyFolder(ExamplesFolder() + "/MemReqAck", folder);
    if (!AcceptGenerateDialog(ToCore(folder), DefaultGenerationSettings(ToCore(folder))).ok())
        qFatal("cannot point the example's generated files at the copy");
    app.main->Start(tp);
}

ProjectRecord MakeProject(const QString& parent, const QString& name) {
    QDir().mkpath(parent);
    NewProjectDraft draft{ToCore(name), ToCore(parent)};
    FakeSystemInfo system;
    ProjectRecord record;
    CommandOutcome outcome = NewProject(draft, system, record);
    if (!outcome.ok())
        qFatal("cannot make the test project %s: %s", qPrintable(name),
               outcome.refusal ? outcome.refusal->text.c_str() : outcome.status.message().c_str());
    return record;
}

ProjectFixture::ProjectFixture(const QString& name, const std::vector<TlmFunction>& functions,
                               const std::vector<RtlSignal>& signalList, int stage) {
    project = MakeProject(dir.path(), name);
    folder = FromCore(project.projectFolder);
    if (!functions.empty() || !signalList.empty() || stage != 1)
        Declare(project, functions, signalList, stage);
    app.main->Start(TpPath(project));
}

QDialog* ProjectFixture::Open(AppCommand command) {
    // A window closed just before is gone once the events of its closing ran.
    (void)QTest::qWaitFor([this] { return !app.main->OpenWindow(); });
    app.main->RunCommand(command);
    return app.main->OpenWindow();
}

QByteArray ProjectFixture::Stored(const char* file) const {
    return FileBytes(folder + "/Input/" + QString::fromLatin1(file));
}

void SetStoredStage(const ProjectRecord& project, int stage) {
    ProjectRecord changed = project;
    changed.projectStage = static_cast<std::int16_t>(stage);
    if (stage >= 2) {
        changed.tlmDeclared = true;
        changed.rtlDeclared = true;
    }
    if (!SaveProjectFile(changed).ok()) qFatal("cannot rewrite the .tp file");
}

QString TpPath(const ProjectRecord& project) {
    return FromCore(ProjectFilePath(project));
}

QString StoredState(const ProjectRecord& project) {
    ProjectRecord r;
    if (!ReadProjectFile(ProjectFilePath(project), r).ok()) qFatal("unreadable .tp file");
    return QString::fromLatin1(r.tlmDeclared ? "TLM " : "") + (r.rtlDeclared ? "RTL " : "") +
           "stage " + QString::number(r.projectStage);
}

std::unique_ptr<TlmFunctionTable> StoredFunctions(const ProjectRecord& project) {
    auto table = std::make_unique<TlmFunctionTable>();
    if (!LoadTlmFunctions(project.projectFolder, *table).ok()) qFatal("unreadable function table");
    return table;
}

TlmFunction TestFunction(const char* name, int returnType, std::initializer_list<TestParam> params,
                         bool library) {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = kCTypeNames[static_cast<std::size_t>(returnType)];
    f.returnTypeIndex = static_cast<std::int16_t>(returnType);
    int j = 0;
    for (const TestParam& p : params) {
        TlmParameter& stored = f.parameters[static_cast<std::size_t>(++j)];
        stored.typeText = kCTypeNames[static_cast<std::size_t>(p.type)];
        stored.typeIndex = static_cast<std::int16_t>(p.type);
        stored.passMarker = p.byRef ? "&" : " ";
        stored.passIndex = p.byRef ? 1 : 0;
        stored.parameterName = p.name;
        stored.isConst = p.isConst;
        stored.isArray = p.isArray;
    }
    f.parameterCount = static_cast<std::int16_t>(j);
    f.asfFileName = "";
    f.isLibrary = library;
    return f;
}

RtlSignal TestSignal(const char* name, int direction, int type, int width, const char* init,
                     bool clock, bool library) {
    RtlSignal s;
    s.signalName = name;
    s.directionText = kDirectionNames[static_cast<std::size_t>(direction)];
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.dataTypeText = kDataTypeNames[static_cast<std::size_t>(type)];
    s.dataTypeIndex = static_cast<std::int16_t>(type);
    s.width = static_cast<std::int16_t>(width);
    s.initValue = init;
    s.isClock = clock;
    s.isLibrary = library;
    return s;
}

void Declare(ProjectRecord& project, const std::vector<TlmFunction>& functions,
             const std::vector<RtlSignal>& signalList, int stage) {
    auto fns = std::make_unique<TlmFunctionTable>();
    for (const TlmFunction& f : functions) (*fns)[++fns->count] = f;
    auto sigs = std::make_unique<RtlSignalTable>();
    for (const RtlSignal& s : signalList) (*sigs)[++sigs->count] = s;
    project.tlmDeclared = !functions.empty();
    project.rtlDeclared = !signalList.empty();
    project.projectStage = static_cast<std::int16_t>(stage);
    if (!SaveTlmFunctions(project.projectFolder, *fns).ok() ||
        !SaveRtlSignals(project.projectFolder, *sigs).ok() || !SaveProjectFile(project).ok())
        qFatal("cannot declare the test project");
}

namespace {

QString ControlText(const QWidget* w) {
    if (auto* box = qobject_cast<const QLineEdit*>(w)) return box->text();
    if (auto* box = qobject_cast<const QComboBox*>(w)) return box->currentText();
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w)) return text->toPlainText();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->isCheckable() ? (button->isChecked() ? "[x]" : "[ ]") : button->text();
    if (auto* bar = qobject_cast<const QProgressBar*>(w))
        return QStringLiteral("%1 of %2").arg(bar->value()).arg(bar->maximum());
    if (auto* tabs = qobject_cast<const QTabWidget*>(w)) return tabs->tabText(tabs->currentIndex());
    QStringList rows;
    if (auto* list = qobject_cast<const QTreeView*>(w))
        for (int row = 0; row < RowCount(list); ++row) rows << RowTexts(list, row).join(" | ");
    if (auto* list = qobject_cast<const QListWidget*>(w))
        for (int row = 0; row < list->count(); ++row) rows << list->item(row)->text();
    return rows.isEmpty() ? QString() : "\n  " + rows.join("\n  ");
}

} // namespace

QString Dump(const QWidget* window, const QString& dir) {
    QString text;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        // Qt's own parts (a tab bar's scroll buttons too) are left out.
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) ||
            qobject_cast<const QTabBar*>(w->parentWidget()))
            continue;
        QString shown = ControlText(w);
        if (!dir.isEmpty()) shown.replace(dir, QStringLiteral("$DIR"));
        text += name + (w->isEnabled() ? "" : " (off)") + ": " + shown + "\n";
    }
    return text;
}

void ExpectGolden(const QString& text, const char* name) {
    const QString path = QStringLiteral(KESTREL_SOURCE_DIR "/tests/golden/gui/") + name;
    if (qgetenv("KESTREL_UPDATE_GOLDEN") == "1") WriteTestFile(path, text.toUtf8());
    QCOMPARE(QString::fromUtf8(FileBytes(path)), text);
}

void ExpectUnreadableTable(ProjectFixture& f, const char* file, AppCommand command) {
    const QString path = f.folder + "/Input/" + QString::fromLatin1(file);
    QVERIFY(QFile::remove(path) && QDir().mkdir(path));
    QVERIFY(!f.Open(command));
    QVERIFY(f.app.ui.calls.last().text.contains(QString::fromLatin1(file)));
    QVERIFY(f.app.main->MenuItem(command)->isEnabled());
}

void Click(QWidget* window, const char* name) {
    auto* button = Control<QAbstractButton>(window, name);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteTestFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QStringList RowTexts(const QTreeView* list, int row) {
    QStringList texts;
    const QAbstractItemModel* model = list->model();
    if (row < 0 || row >= model->rowCount()) return texts;
    for (int i = 0; i < model->columnCount(); ++i) texts << model->index(row, i).data().toString();
    return texts;
}

int RowCount(const QTreeView* list) {
    return list->model()->rowCount();
}

QBrush Foreground(const QTreeView* list, int row, int column) {
    return list->model()->index(row, column).data(Qt::ForegroundRole).value<QBrush>();
}

bool IsRowSelected(const QTreeView* list, int row) {
    return list->selectionModel()->isRowSelected(row, QModelIndex());
}

void SetCurrentRow(QTreeView* list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
}

void DoubleClick(QTreeView* list, int row) {
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ExpectMessage(const FakeUiServices& ui, const QString& start, MessageIcon icon) {
    QVERIFY(!ui.calls.isEmpty());
    const UiCall& call = ui.calls.last();
    QCOMPARE(call.kind, QStringLiteral("message"));
    QVERIFY2(call.text.startsWith(start), qPrintable(call.text));
    QCOMPARE(call.icon, icon);
}

void ExpectRefusedIn(const FakeUiServices& ui, QWidget* dialog, const QString& start,
                     const char* focus) {
    ExpectMessage(ui, start);
    if (focus) QCOMPARE(dialog->focusWidget(), Control<QWidget>(dialog, focus));
    QVERIFY(dialog->isVisible());
}

} // namespace kestrel::test
