#pragma once
// Shared pieces of the window tests: a test application context with fake seams, project
// folders made through the core, and lookups of controls by their names.
#include "AppContext.h"
#include "FakeUiServices.h"
#include "MainWindow.h"
#include "model/ProjectRecord.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBrush>
#include <QByteArray>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::test {

// The help pages as built beside the programs.
QString BuiltHelpFolder();
// The folder of the built programs (kestrel-cli).
QString BuiltBinFolder();
// The repository's example projects.
QString ExamplesFolder();
// Runs the built kestrel-cli with `arguments` and returns its standard output; a run that
// fails or takes over a minute ends the test with its error output.
QByteArray RunCli(const QStringList& arguments);
// Copies a folder with everything under it.
void CopyFolder(const QString& from, const QString& to);

// A main window over fake seams: a fixed date, a fixed user "designer" with 512 of
// 1024 MiB free, and a counter instead of the desktop registration.
struct TestApp {
    FakeUiServices ui;
    FakeSystemInfo system;
    FixedClock clock{LocalDateTime{2026, 12, 4, 9, 51, 15, 5}};
    GenerationSession session;
    int registrations = 0;
    AppContext context{ui, system, clock, session, BuiltHelpFolder(), [this] { ++registrations; },
                       {}};
    std::unique_ptr<MainWindow> main;

    TestApp();
};

// A project <dir>/<name> declared with the tables given (none: as New Project left it, at
// stage 1) and opened in a test main window.
struct ProjectFixture {
    QTemporaryDir dir;
    ProjectRecord project;
    QString folder;
    TestApp app;

    explicit ProjectFixture(const QString& name, const std::vector<TlmFunction>& functions = {},
                            const std::vector<RtlSignal>& signalList = {}, int stage = 1);
    // Runs a command of the main window (once the window before is gone); the window it
    // opened, or null.
    QDialog* Open(AppCommand command);
    // The bytes of a file in the project's Input folder.
    QByteArray Stored(const char* file) const;
};

// The example project MemReqAck (both behaviour methods assigned, stage 3) copied into a
// temporary folder, its generated files pointed at the copy, opened in a test main window.
struct ExampleProject {
    QTemporaryDir dir;
    QString folder = dir.path() + "/MemReqAck";
    QString tp = folder + "/MemReqAck.tp";
    TestApp app;

    ExampleProject();
};

// Creates <parent>/<name> through New Project; the record is returned.
ProjectRecord MakeProject(const QString& parent, const QString& name);
// Rewrites the .tp file of a project with another stage (as the declaration and
// assignment windows leave it).
void SetStoredStage(const ProjectRecord& project, int stage);
QString TpPath(const ProjectRecord& project);
// The flags and the stage the project's .tp file holds, as "TLM RTL stage 2".
QString StoredState(const ProjectRecord& project);
// The function table the project holds.
std::unique_ptr<TlmFunctionTable> StoredFunctions(const ProjectRecord& project);

// A parameter of TestFunction: its type as a position in the C type list.
struct TestParam {
    int type;
    bool byRef;
    const char* name;
    bool isConst = false;
    bool isArray = false;
};
// A function as the declaration dialog stores it (types as positions in the type lists).
TlmFunction TestFunction(const char* name, int returnType, std::initializer_list<TestParam> params,
                         bool library = false);
RtlSignal TestSignal(const char* name, int direction, int type, int width, const char* init,
                     bool clock = false, bool library = false);
// Stores the tables of a project with its flags set from them and `stage`.
void Declare(ProjectRecord& project, const std::vector<TlmFunction>& functions,
             const std::vector<RtlSignal>& signalList, int stage);

template <typename T = QWidget> T* Control(QWidget* window, const char* name) {
    T* control = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!control) qWarning("no control %s", name);
    return control;
}

// The visible window of a kind under `parent` (closed ones wait for their deletion).
template <typename T> T* Window(QWidget* parent) {
    for (T* window : parent->findChildren<T*>())
        if (window->isVisible()) return window;
    return nullptr;
}

// The visible top-level window of a kind (a window opened without a parent), or null.
template <typename T> T* TopLevel() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<T*>(window); found && found->isVisible()) return found;
    return nullptr;
}
// Closes every top-level window of a kind and lets the closed ones be deleted.
template <typename T> void CloseTopLevels() {
    while (T* window = TopLevel<T>()) window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The texts of every column of a list row; empty when there is no such row.
QStringList RowTexts(const QTreeView* list, int row);
// A list's rows, the brush a cell is drawn with, whether a row is selected, and making a
// row the current one (rows from 0).
int RowCount(const QTreeView* list);
QBrush Foreground(const QTreeView* list, int row, int column);
bool IsRowSelected(const QTreeView* list, int row);
void SetCurrentRow(QTreeView* list, int row);
// A double click as the desktop delivers it: press and release, then the double click.
void DoubleClick(QTreeView* list, int row);
// The last desktop call was a message box with this icon and a text that starts so.
void ExpectMessage(const FakeUiServices& ui, const QString& start,
                   MessageIcon icon = MessageIcon::Critical);
// A refusal so passed on: `dialog` stays open with the focus on the field named (if any).
void ExpectRefusedIn(const FakeUiServices& ui, QWidget* dialog, const QString& start,
                     const char* focus);

// The state of a window as text: one line per named control in the order they were made,
// its text, check or rows, "(off)" when disabled; `dir` is written as $DIR.
QString Dump(const QWidget* window, const QString& dir = {});
// Compares `text` with tests/golden/gui/<name> (rewritten under KESTREL_UPDATE_GOLDEN=1).
void ExpectGolden(const QString& text, const char* name);

// A file of the project's Input folder that cannot be read (a folder in its place): the
// command's window does not open, the message names the file, the main window takes over.
void ExpectUnreadableTable(ProjectFixture& f, const char* file, AppCommand command);

// Clicks a button found by name.
void Click(QWidget* window, const char* name);

// The text of a file, for byte comparisons.
QByteArray FileBytes(const QString& path);
// Writes a file, making its folder; a file that cannot be written ends the test program.
void WriteTestFile(const QString& path, const QByteArray& bytes);

} // namespace kestrel::test
