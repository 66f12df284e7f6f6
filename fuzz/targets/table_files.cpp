// Fuzz target: the two table loaders (tlm_func.dat and rtl_sig.dat, also the loaders of
// the library copies) and the writers that take their records as they come from disk.
// The input is two repeat bytes and the file bytes: the rest is split at its first
// marker "\xFF\xFE" into the function file and the signal file (without a marker it
// serves both), and each file is its part repeated 1 + (repeat byte % 32) times, so that
// small inputs reach the tables' capacity of 25 records. Besides not crashing: no count
// leaves 0..25, a second load gives the same tables, saving and loading again gives the
// same records, and every text written from the tables is the same twice, with CR LF
// line ends only.
#include "FuzzSupport.h"
#include "asml/AsmlTemplate.h"
#include "codegen/DeclarationHelpers.h"
#include "codegen/InterfaceHeaderWriter.h"
#include "codegen/TransactorCppWriter.h"
#include "codegen/TransactorHeaderWriter.h"
#include "fsm/AsfTemplate.h"
#include "model/ProjectPaths.h"
#include "model/ProjectTables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

using namespace kestrel;
using kestrel::fuzz::FreshFolder;
using kestrel::fuzz::OnlyCrLfLineEnds;
using kestrel::fuzz::WriteScratchFile;

namespace {

const LocalDateTime kNow{2026, 12, 4, 9, 51, 15, 5};

void CheckCounts(const ProjectTables& t) {
    FUZZ_CHECK(t.functions.count >= 0 && t.functions.count <= kMaxFunctions, "function count");
    FUZZ_CHECK(t.signals.count >= 0 && t.signals.count <= kMaxSignals, "signal count");
}

// The tables are large (a few hundred kilobytes); they are kept for the whole run, as
// allocations that size cost more under the sanitizers than the code they feed.
ProjectTables& Tables(int which) {
    static auto tables = std::make_unique<ProjectTables[]>(4);
    return tables[static_cast<std::size_t>(which)];
}

// Every text the generation and the template writers make from the tables alone.
std::string WrittenTexts(const ProjectTables& declared) {
    ProjectTables* t = &Tables(3);
    *t = declared;
    std::string all = AsmlTemplateText(t->functions, t->signals, t->options);
    for (int f = 1; f <= t->functions.count; ++f) {
        all += AsfTemplateText("/p/Input/f.asf", t->functions[f], t->signals, t->options, kNow);
        all += ParameterListText(t->functions[f]) + "\r\n";
        all += AsmlSignature(t->functions[f]) + "\r\n";
    }
    static auto prepared = std::make_unique<PreparedTables>();
    PreparedTables& p = *prepared;
    p = TransactorView(*t);
    NormalizeInitValues(p.signals);
    ClockSelection clock;
    FindClockSignal(p.signals, p.options, clock);
    all += WriteInterfaceHeader(p, kNow);
    all += WriteTemplateHeader(p, kNow);
    all += WriteTemplateCpp(p, kNow);
    all += WriteTransactorHeader(p, kNow, {});
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int functionRepeats = 1 + data[0] % 32;
    const int signalRepeats = 1 + data[1] % 32;
    std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::string_view functionPart = input, signalPart = input;
    if (std::size_t marker = input.find("\xFF\xFE"); marker != std::string_view::npos) {
        functionPart = input.substr(0, marker);
        signalPart = input.substr(marker + 2);
    }
    std::string functionFile, signalFile;
    for (int i = 0; i < functionRepeats; ++i) functionFile += functionPart;
    for (int i = 0; i < signalRepeats; ++i) signalFile += signalPart;
    const std::string_view functionBytes = functionFile, signalBytes = signalFile;
    const std::string folder = FreshFolder("tables/P");
    FreshFolder("tables/P/Input");
    WriteScratchFile(InputPath(folder, kTlmFunctionFile), functionBytes);
    WriteScratchFile(InputPath(folder, kRtlSignalFile), signalBytes);

    ProjectTables* first = &Tables(0);
    *first = ProjectTables{};
    FUZZ_CHECK(LoadTlmFunctions(folder, first->functions).ok(), "tlm_func.dat");
    FUZZ_CHECK(LoadRtlSignals(folder, first->signals).ok(), "rtl_sig.dat");
    CheckCounts(*first);
    FUZZ_CHECK(static_cast<std::size_t>(first->functions.count) ==
                   std::min<std::size_t>(functionBytes.size() / TlmFunction::kRecordSize, 25),
               "whole records only, at most 25");
    FUZZ_CHECK(static_cast<std::size_t>(first->signals.count) ==
                   std::min<std::size_t>(signalBytes.size() / RtlSignal::kRecordSize, 25),
               "whole records only, at most 25");

    ProjectTables* second = &Tables(1);
    *second = ProjectTables{};
    FUZZ_CHECK(LoadTlmFunctions(folder, second->functions).ok(), "tlm_func.dat");
    FUZZ_CHECK(LoadRtlSignals(folder, second->signals).ok(), "rtl_sig.dat");
    FUZZ_CHECK(first->functions.slots == second->functions.slots, "a second load differs");
    FUZZ_CHECK(first->signals.slots == second->signals.slots, "a second load differs");

    // Saved and loaded again: the same records, and the file is the records read.
    const std::string copy = FreshFolder("tables/Copy");
    FreshFolder("tables/Copy/Input");
    FUZZ_CHECK(SaveTlmFunctions(copy, first->functions).ok(), "save tlm_func.dat");
    FUZZ_CHECK(SaveRtlSignals(copy, first->signals).ok(), "save rtl_sig.dat");
    ProjectTables* back = &Tables(2);
    *back = ProjectTables{};
    FUZZ_CHECK(LoadTlmFunctions(copy, back->functions).ok(), "tlm_func.dat");
    FUZZ_CHECK(LoadRtlSignals(copy, back->signals).ok(), "rtl_sig.dat");
    FUZZ_CHECK(back->functions.slots == first->functions.slots, "saved functions read back");
    FUZZ_CHECK(back->signals.slots == first->signals.slots, "saved signals read back");
    std::string saved = kestrel::fuzz::ReadScratchFile(InputPath(copy, kTlmFunctionFile));
    FUZZ_CHECK(saved == functionBytes.substr(0, saved.size()), "saved records differ");

    std::string texts = WrittenTexts(*first);
    FUZZ_CHECK(texts == WrittenTexts(*first), "the writers differ on a second run");
    FUZZ_CHECK(OnlyCrLfLineEnds(texts) ||
                   functionBytes.find_first_of("\r\n") != std::string::npos ||
                   signalBytes.find_first_of("\r\n") != std::string::npos,
               "a line end other than CR LF");
    return 0;
}
