#pragma once
// Library creation at the end of the FSM and AsmL routes: when the project's options ask
// for a library, the project's functions and signals, flagged as library items, and the
// section files of every function are packed into the library file.
#include "codegen/GenerationRun.h"

namespace kestrel {

// Does nothing unless run.tables.options.makeLibrary is set. Otherwise logs
// "Creating Library <LibraryFile>...", reloads the two declaration tables from Input,
// flags every record as a library item and writes the library file named by
// run.tables.options.libraryFile (entries: lib_tlm_func.dat, lib_rtl_sig.dat, then the
// .dec, .ini, .asm and .upd section files of each function in table order, library
// functions of earlier libraries included). Ends with "Done!" and one progress step,
// even when the library could not be written: that failure is not logged, the old
// library stays as it was and run.session.notes says why.
void CreateLibrary(GenerationRun& run);

} // namespace kestrel
