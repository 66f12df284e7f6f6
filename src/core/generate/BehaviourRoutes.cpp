// The stand-ins for the behaviour routes when no translator is supplied: they keep the
// route's heading and its refusal of an unassigned AsmL document, and report that the
// translation itself is not available.
#include "generate/BehaviourRoutes.h"

namespace kestrel {

void UnavailableFsmRoute(GenerationRun& run) {
    run.log().LogLine(":: Generating Transactor from Graphical FSM ::");
    run.log().LogError("Translation of graphical FSM behaviour is not available in this build");
}

void UnavailableAsmlRoute(GenerationRun& run) {
    run.log().LogLine(":: Generating Transactor from AsmL Specification ::");
    if (!run.tables.asml.asmlAssigned) {
        run.log().LogError("AsmL Specification file not Assigned");
        return;
    }
    run.log().LogError("Translation of AsmL behaviour is not available in this build");
}

} // namespace kestrel
