// Plugs the behaviour assignment and library windows into the main window: Graphical FSM
// Specification opens FormAssignFSM, AsmL Specification FormAssignAsmL and Add Library
// FormAddLibrary. Each window loads what it shows when it opens and may refuse to open
// (a message naming the unreadable file).
#include "assign/AssignWindows.h"

#include "MainWindow.h"
#include "assign/FormAddLibrary.h"
#include "assign/FormAssignAsmL.h"
#include "assign/FormAssignFSM.h"
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
                         [](MainWindow& m) -> QDialog* { return FormAssignFSM::Open(m); });
    main.SetWindowOpener(AppCommand::AsmlSpecification, [converter](MainWindow& m) -> QDialog* {
        return FormAssignAsmL::Open(m, converter);
    });
    main.SetWindowOpener(AppCommand::AddLibrary,
                         [](MainWindow& m) -> QDialog* { return FormAddLibrary::Open(m); });
}

} // namespace kestrel
