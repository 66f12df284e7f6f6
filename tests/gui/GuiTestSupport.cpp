// Support of the window tests: fake seams, project folders through the core, control
// lookups by name.
#include "GuiTestSupport.h"

#include "GuiText.h"
#include "project/ProjectCommands.h"

#include <QDir>
#include <QFile>

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

TestApp::TestApp() {
    main = std::make_unique<MainWindow>(context);
    main->show();
}

TestApp::~TestApp() {
    main.reset();
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

} // namespace kestrel::test
