// Plugs the declaration editors into the main window.
#include "editors/EditorWindows.h"

#include "MainWindow.h"

namespace kestrel {

void InstallEditorWindows(MainWindow& /*main*/) {}

} // namespace kestrel
