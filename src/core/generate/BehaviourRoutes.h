#pragma once
// The two behaviour routes of Generate (graphical FSM, AsmL specification), which a
// caller may replace. Each route logs its own heading, translates every function into its
// section files, then produces the output files (CreateInterfaceHeader,
// CreateTransactorHeader, CreateTransactorCpp) and the library, advancing the progress
// once for clean.asml, once per function, once per file and once for a library.
#include "codegen/GenerationRun.h"

#include <functional>

namespace kestrel {

using Route = std::function<void(GenerationRun&)>;

struct BehaviourRoutes {
    Route fsm;  // method 1; when empty, RunFsmRoute (Routes.h) runs
    Route asml; // method 2; when empty, RunAsmlRoute (Routes.h) runs
};

// Stand-ins for tests that want a route without any translation: each logs the route's
// heading and one error, and writes nothing. The AsmL stand-in first refuses, like the
// real route, a project without an assigned specification.
void UnavailableFsmRoute(GenerationRun& run);
void UnavailableAsmlRoute(GenerationRun& run);

} // namespace kestrel
