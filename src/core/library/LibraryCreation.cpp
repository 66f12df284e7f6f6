// Library creation at the end of the FSM and AsmL routes.
#include "library/LibraryCreation.h"

namespace kestrel {

void CreateLibrary(GenerationRun& run) {
    (void)run;
}

} // namespace kestrel
