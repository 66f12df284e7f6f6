#pragma once
// What the assignment and library windows share: work that must not hold the event loop
// (the document converter, a library extraction), the paths the desktop's dialogs give
// back, and the colour of library rows.
#include <QColor>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace kestrel {

class UiServices;

// Library rows are drawn in the colour 0xFF8080 (blue-green-red): light blue.
inline QColor LibraryRowColour() {
    return QColor(0x80, 0x80, 0xFF);
}

// Runs `work` on a thread of its own and returns when it is done. Meanwhile the window
// is disabled but keeps painting, its timers run and its progress bar moves; input to it
// is held back. `work` must not touch widgets.
void RunWithoutBlocking(QWidget* window, const std::function<void()>& work);

// A path chosen in a desktop dialog as a stored (Windows-1252) path. A path with
// characters the project files cannot store is refused with a message naming it.
std::optional<std::string> ChosenPath(UiServices& ui, QWidget* window, const QString& chosen);

} // namespace kestrel
