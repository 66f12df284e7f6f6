#pragma once
// The behaviour assignment and library windows' entry point: plugs the FSM Specification,
// AsmL Specification and Add Library windows into the main window's commands.

namespace kestrel {

class MainWindow;

void InstallAssignWindows(MainWindow& main);

} // namespace kestrel
