// Plugs the behaviour assignment and library windows into the main window.
#include "assign/AssignWindows.h"

#include "MainWindow.h"

namespace kestrel {

void InstallAssignWindows(MainWindow& /*main*/) {}

} // namespace kestrel
