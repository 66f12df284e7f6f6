#pragma once
// The declaration editors' entry point: plugs the TLM Interface and RTL Interface windows
// into the main window's commands.

namespace kestrel {

class MainWindow;

void InstallEditorWindows(MainWindow& main);

} // namespace kestrel
