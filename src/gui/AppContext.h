#pragma once
// What the windows share for the program's life: the desktop seam, the machine and clock
// seams, the one generation session, where the help pages lie, and how the file type is
// registered at start. The main program fills it with the real ones, tests with fakes.
#include "codegen/GenerationRun.h"
#include "generate/BehaviourRoutes.h"
#include "platform/Clock.h"
#include "platform/System.h"

#include <QString>

#include <functional>

namespace kestrel {

class UiServices;

struct AppContext {
    UiServices& ui;
    const SystemInfo& system;
    const Clock& clock;
    GenerationSession& session;
    // The folder of the HTML help pages (Main.html is the start page).
    QString helpFolder;
    // Called once by the main window when it starts; never fails the start.
    std::function<void()> registerFileType;
    // The behaviour routes of Generate; empty ones are the core's defaults.
    BehaviourRoutes routes;
};

} // namespace kestrel
