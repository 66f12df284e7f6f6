// Plugs the declaration editors into the main window: TLM Interface opens the function
// list, RTL Interface the signal list.
#include "editors/EditorWindows.h"

#include "MainWindow.h"
#include "editors/FormRTL.h"
#include "editors/FormTLM.h"

namespace kestrel {

void InstallEditorWindows(MainWindow& main) {
    main.SetWindowOpener(AppCommand::TlmInterface,
                         [](MainWindow& m) -> QDialog* { return FormTLM::Open(m); });
    main.SetWindowOpener(AppCommand::RtlInterface,
                         [](MainWindow& m) -> QDialog* { return FormRTL::Open(m); });
}

} // namespace kestrel
