// Fuzz target: the AsmL translator on a whole clean.asml. The input is the text of
// clean.asml for a project of three functions — Read(n, addr), Write(data) and the
// library function Lib — and six signals; every function's section is translated line by
// line as the route does it. Besides not crashing:
// - every error stands on a line of its own behind "ERROR: " and is counted once; an
//   unrecognized line is reported once, with the line as read, and the translation goes
//   on with the next line;
// - no count of the translation state exceeds its capacity, after any line;
// - the section texts have CR LF line ends;
// - a second run gives the same section texts and the same status text;
// - (corpus replay only) the route's driver writes those texts as the section files,
//   ends every function with "Done!", places every error at a line of the input and
//   leaves a library function's files alone.
#include "FuzzSupport.h"
#include "codegen/SectionFileReader.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "model/ProjectPaths.h"
#include "translator/DiagnosticCollector.h"
#include "translator/StatementTranslator.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace kestrel;
using kestrel::fuzz::ReadScratchFile;

namespace {

const FixedClock kClock{LocalDateTime{2026, 12, 4, 9, 51, 15, 5}};
constexpr std::string_view kUnrecognized = "Unrecognized AsmL Line:";

void AddFunction(ProjectTables& t, int slot, std::string_view name,
                 std::initializer_list<std::string_view> parameters, bool library = false) {
    TlmFunction& f = t.functions[slot];
    f.functionName = name;
    f.returnTypeIndex = 4;
    int p = 0;
    for (std::string_view parameter : parameters) {
        TlmParameter& slotP = f.parameters[static_cast<std::size_t>(++p)];
        slotP.parameterName = parameter;
        slotP.typeIndex = 4;
    }
    f.parameterCount = static_cast<std::int16_t>(p);
    f.isLibrary = library;
}

void AddSignal(ProjectTables& t, int slot, std::string_view name, int direction, int type,
               int width = 0, bool clock = false) {
    RtlSignal& s = t.signals[slot];
    s.signalName = name;
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.dataTypeIndex = static_cast<std::int16_t>(type);
    s.dataTypeText = kDataTypeNames[static_cast<std::size_t>(type)];
    s.width = static_cast<std::int16_t>(width);
    s.isClock = clock;
}

// The tables as Generate prepares them: the signals with the transactor's directions.
void FillTables(ProjectTables& t) {
    AddFunction(t, 1, "Read", {"n", "addr"});
    AddFunction(t, 2, "Write", {"data"});
    AddFunction(t, 3, "Lib", {"x"}, /*library=*/true);
    t.functions.count = 3;
    AddSignal(t, 1, "ack", 0, 0);
    AddSignal(t, 2, "req", 1, 0);
    AddSignal(t, 3, "bus", 2, 1, 8);
    AddSignal(t, 4, "clk", 0, 0, 0, true);
    AddSignal(t, 5, "data_bus", 0, 1, 16);
    AddSignal(t, 6, "ready", 1, 2);
    t.signals.count = 6;
    t.options.setupWait = 1;
    t.options.setupWaitUnit = "SC_PS";
}

void CheckCapacities(const TranslationState& s) {
    FUZZ_CHECK(s.tokenCount >= 0 && s.tokenCount <= kMaxLineTokens, "tokens");
    FUZZ_CHECK(s.declaredVariableCount >= 0 && s.declaredVariableCount <= kMaxDeclaredVariables,
               "variables");
    FUZZ_CHECK(s.declaredConstantCount >= 0 && s.declaredConstantCount <= kMaxDeclaredConstants,
               "constants");
    FUZZ_CHECK(s.declaredEnumCount >= 0 && s.declaredEnumCount <= kMaxDeclaredEnums, "enums");
    for (const DeclaredEnum& e : s.declaredEnums)
        FUZZ_CHECK(e.valueCount >= 0 && e.valueCount <= kMaxEnumValues, "enum values");
    FUZZ_CHECK(s.names.parameterCount >= 0 && s.names.parameterCount <= 20, "parameters");
    FUZZ_CHECK(s.names.signalCount >= 0 && s.names.signalCount <= 25, "signals");
}

// One function translated line by line as the route does, in memory: the four section
// texts and the status text. Checks each line's errors as it goes.
struct Translated {
    std::string dec, ini, behaviour, upd;
};

Translated TranslateInMemory(GenerationRun& run, int slot,
                             const std::vector<std::string_view>& lines, TranslationState& state) {
    Translated out;
    const TlmFunction& function = run.tables.functions[slot];
    if (function.isLibrary) return out;
    std::optional<std::size_t> first = FindFunctionSection(lines, function.functionName.Text());
    if (!first) return out;
    run.currentFunction = slot;
    SectionTexts texts;
    ResetTranslationState(state);
    for (std::size_t i = *first; i < lines.size() && !EndsSection(lines[i]); ++i) {
        const std::size_t before = run.log().StatusText().size();
        const int errorsBefore = run.log().ErrorCount();
        TranslateSourceLine(state, lines[i], run, texts);
        CheckCapacities(state);
        std::string_view logged = std::string_view(run.log().StatusText()).substr(before);
        std::vector<std::string> errors = ErrorMessagesIn(logged);
        FUZZ_CHECK(errors.size() == static_cast<std::size_t>(run.log().ErrorCount() - errorsBefore),
                   "an error counted but not shown on its own line, or the reverse");
        int unrecognized = 0;
        for (const std::string& e : errors) {
            if (!e.starts_with(kUnrecognized)) continue;
            ++unrecognized;
            FUZZ_CHECK(e.substr(kUnrecognized.size()) == lines[i],
                       "the unrecognized line is not the line as read: " + e);
        }
        FUZZ_CHECK(unrecognized <= 1, "a line reported as unrecognized more than once");
    }
    CloseAllBlocks(state, run, texts);
    CheckCapacities(state);
    WriteUpdateSection(run.tables.options, run.session.clock, texts.upd);
    WriteInitTail(texts.ini);
    out = {texts.dec.take(), texts.ini.take(), texts.behaviour.take(), texts.upd.take()};
    for (const std::string* text : {&out.dec, &out.ini, &out.behaviour, &out.upd})
        FUZZ_CHECK(kestrel::fuzz::OnlyCrLfLineEnds(*text), "a line end other than CR LF");
    return out;
}

struct Outcome {
    std::string status;
    std::vector<Translated> functions;
};

Outcome TranslateAll(const std::vector<std::string_view>& lines) {
    static auto state = std::make_unique<TranslationState>();
    GenerationSession session;
    session.clock.clockSignalName = "clk";
    session.clock.clockOnPositiveEdge = true;
    GenerationRun run{"/p", "P", {}, session, kClock};
    FillTables(run.tables);
    Outcome out;
    for (int f = 1; f <= run.tables.functions.count; ++f)
        out.functions.push_back(TranslateInMemory(run, f, lines, *state));
    out.status = run.log().StatusText();
    return out;
}

#ifndef KESTREL_FUZZING
// The route's own driver on the same text, writing the section files into a scratch
// project: it must write what the line loop made, log "Done!" for every function, place
// every error at a line of the input and leave the library function's files alone. Left
// out of the libFuzzer build, where the megabyte buffers of the section writers would
// cost more under the sanitizers than the translation itself; the corpus replay of the
// normal and the sanitizer builds runs it on every input.
void CheckRoute(const std::vector<std::string_view>& lines, const Outcome& expected) {
    const std::string folder = kestrel::fuzz::FreshFolder("translator/P");
    kestrel::fuzz::FreshFolder("translator/P/Temp");
    const std::string libraryFile = SectionFilePath(folder, "Lib", kBehaviourSection);
    kestrel::fuzz::WriteScratchFile(libraryFile, "  // from the library\r\n");

    GenerationSession session;
    session.clock.clockSignalName = "clk";
    session.clock.clockOnPositiveEdge = true;
    GenerationRun run{folder, "P", {}, session, kClock};
    FillTables(run.tables);
    Diagnostics diagnostics;
    DiagnosticCollector places(run.log(), &diagnostics);
    AsmlSource source{lines, CleanAsmlPath(folder), nullptr};
    auto state = std::make_unique<TranslationState>();
    for (int f = 1; f <= run.tables.functions.count; ++f) {
        std::size_t before = run.log().StatusText().size();
        TranslateFunction(run, f, source, *state, places);
        FUZZ_CHECK(run.log().StatusText().substr(before).ends_with("Done!\r\n"),
                   "a function's translation did not end");
        const TlmFunction& function = run.tables.functions[f];
        if (function.isLibrary) continue;
        const Translated& t = expected.functions[static_cast<std::size_t>(f - 1)];
        const std::string name = function.functionName.Text();
        FUZZ_CHECK(
            ReadScratchFile(SectionFilePath(folder, name, kDeclarationSection)) == t.dec &&
                ReadScratchFile(SectionFilePath(folder, name, kInitialisationSection)) == t.ini &&
                ReadScratchFile(SectionFilePath(folder, name, kBehaviourSection)) == t.behaviour &&
                ReadScratchFile(SectionFilePath(folder, name, kUpdateSection)) == t.upd,
            "the route wrote other section files than the line loop made: " + name);
    }
    FUZZ_CHECK(ReadScratchFile(libraryFile) == "  // from the library\r\n",
               "a library function's section file was replaced");
    FUZZ_CHECK(diagnostics.size() == static_cast<std::size_t>(run.log().ErrorCount()),
               "an error without a place");
    for (const Diagnostic& d : diagnostics) {
        FUZZ_CHECK(d.line >= 0 && static_cast<std::size_t>(d.line) <= lines.size(), d.message);
        if (d.message.starts_with(kUnrecognized))
            FUZZ_CHECK(d.line >= 1 && d.message.substr(kUnrecognized.size()) ==
                                          lines[static_cast<std::size_t>(d.line - 1)],
                       "an unrecognized line placed elsewhere: " + d.message);
    }
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = SplitSectionLines(input);
    Outcome first = TranslateAll(lines);
    Outcome second = TranslateAll(lines);
    FUZZ_CHECK(first.status == second.status, "a second run logs another text");
    for (std::size_t f = 0; f < first.functions.size(); ++f) {
        const Translated& a = first.functions[f];
        const Translated& b = second.functions[f];
        FUZZ_CHECK(a.dec == b.dec && a.ini == b.ini && a.behaviour == b.behaviour && a.upd == b.upd,
                   "a second run translates otherwise");
    }
#ifndef KESTREL_FUZZING
    CheckRoute(lines, first);
#endif
    return 0;
}
