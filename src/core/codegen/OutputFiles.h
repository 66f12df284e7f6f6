#pragma once
// The production of the three output files inside a run: each logs "Creating <path>
// File...", builds the file's text (reading the section files it needs), replaces the
// file atomically, logs "Done!" and advances the progress. A section file that cannot be
// read is logged as an error and contributes no lines; the file is written all the same.
// A file that cannot be written is logged as an error, no "Done!" follows, and any
// earlier file at the path is left as it was. Progress advances in every case.
#include "codegen/GenerationRun.h"
#include "codegen/SectionFileReader.h"

namespace kestrel {

// The texts of Tran.h and Tran.cpp from the functions' sections (WriteTransactorHeader,
// WriteTransactorCpp); with `splices`, receives where each function's sections begin.
std::string TransactorHeaderText(const PreparedTables& tables, const LocalDateTime& now,
                                 const std::vector<FunctionSections>& sections,
                                 std::vector<SectionSplice>* splices);
std::string TransactorCppText(const PreparedTables& tables, const LocalDateTime& now,
                              const std::vector<FunctionSections>& sections,
                              std::vector<SectionSplice>* splices);

void CreateInterfaceHeader(GenerationRun& run);
void CreateTransactorHeader(GenerationRun& run);
void CreateTemplateHeader(GenerationRun& run);
void CreateTransactorCpp(GenerationRun& run);
void CreateTemplateCpp(GenerationRun& run);

// Method 3: the heading line, then the interface header, the template header and the
// template implementation. No section file is read, no library written.
void RunTemplateRoute(GenerationRun& run);

} // namespace kestrel
