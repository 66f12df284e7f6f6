// The two message boxes every window shows the same way: a refused input and a failure.
#include "UiServices.h"

#include "GuiText.h"
#include "project/InputRefusal.h"

namespace kestrel {

void ShowRefusal(UiServices& ui, QWidget* parent, const InputRefusal& refusal) {
    ui.Message(parent, FromCore(refusal.text), FromCore(refusal.ShownTitle()),
               MessageIcon::Critical);
}

void ShowFailure(UiServices& ui, QWidget* parent, const QString& text) {
    ui.Message(parent, text, QString::fromLatin1(kApplicationTitle), MessageIcon::Critical);
}

} // namespace kestrel
