#pragma once
// The behaviour assignment and library windows' entry point: plugs the FSM Specification,
// AsmL Specification and Add Library windows into the main window's commands.
#include <chrono>
#include <string>

namespace kestrel {

class MainWindow;
class ProcessRunner;

// How the AsmL window runs the document converter; tests replace it.
struct AssignSeams {
    ProcessRunner* runner = nullptr; // null: programs run as processes of this machine
    std::string converterProgram;    // empty: kestrel-docgen beside the running program
    std::chrono::milliseconds converterTimeout{60000};
};

void InstallAssignWindows(MainWindow& main);
void InstallAssignWindows(MainWindow& main, const AssignSeams& seams);

} // namespace kestrel
