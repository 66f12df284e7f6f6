// Registers the resources of kestrel_gui.qrc once (Q_INIT_RESOURCE must be called from
// the global namespace).
#include "GuiResources.h"

#include <QtGlobal>

static void RegisterKestrelGuiResources() {
    Q_INIT_RESOURCE(kestrel_gui);
}

namespace kestrel {

void InitGuiResources() {
    static const bool registered = [] {
        RegisterKestrelGuiResources();
        return true;
    }();
    (void)registered;
}

} // namespace kestrel
