#pragma once
// What the assignment and library windows share: work that must not hold the event loop
// (the document converter, a library extraction), the paths the desktop's dialogs give
// back and the file-type filters.
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace kestrel {

class UiServices;

// The file-type filters of the assignment windows' file dialogs ("caption|pattern").
inline QString AsmlDocumentFilter() {
    return QStringLiteral("MS Word Document  (*.doc)|*.doc");
}
inline QString AsfFileFilter() {
    return QStringLiteral("Active HDL State Machine (*.asf)|*.asf");
}

// Runs `work` on a thread of its own and returns when it is done. Meanwhile the window
// is disabled but keeps painting, its timers run and its progress bar moves; input to it
// is held back. `work` must not touch widgets.
void RunWithoutBlocking(QWidget* window, const std::function<void()>& work);

// A path chosen in a desktop dialog as a stored (Windows-1252) path. A path with
// characters the project files cannot store is refused with a message naming it.
std::optional<std::string> ChosenPath(UiServices& ui, QWidget* window, const QString& chosen);

} // namespace kestrel
