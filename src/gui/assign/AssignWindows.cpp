// Plugs the behaviour assignment and library windows into the main window: Graphical FSM
// Specification opens FormAssignFSM, AsmL Specification FormAssignAsmL and Add Library
// FormAddLibrary. Each window loads what it shows when it opens and may refuse to open
// (a message naming the unreadable file).
#include "assign/AssignWindows.h"

#include "MainWindow.h"
#include "assign/AddLibraryDialog.h"
#include "assign/AssignAsmlDialog.h"
#include "assign/AssignFsmDialog.h"
#include "platform/Process.h"

namespace kestrel {

namespace {

// Stateless: one runner serves every window of the program's life.
LinuxProcessRunner& MachineRunner() {
    static LinuxProcessRunner runner;
    return runner;
}

} // namespace

void InstallAssignWindows(MainWindow& main) {
    InstallAssignWindows(main, AssignSeams{});
}

void InstallAssignWindows(MainWindow& main, const AssignSeams& seams) {
    DocumentConverter converter =
        DefaultDocumentConverter(seams.runner ? *seams.runner : MachineRunner());
    if (!seams.converterProgram.empty()) converter.program = seams.converterProgram;
    converter.timeout = seams.converterTimeout;

    main.SetWindowOpener(AppCommand::FsmSpecification,
                         [](MainWindow& m) -> QDialog* { return AssignFsmDialog::Open(m); });
    main.SetWindowOpener(AppCommand::AsmlSpecification, [converter](MainWindow& m) -> QDialog* {
        return AssignAsmlDialog::Open(m, converter);
    });
    main.SetWindowOpener(AppCommand::AddLibrary,
                         [](MainWindow& m) -> QDialog* { return AddLibraryDialog::Open(m); });
}

} // namespace kestrel
