// Fuzz target: the ASF diagram reader and the FSM-to-AsmL writer. The input is the
// diagram of a function Read(n, addr) returning an int. Besides not crashing: no table of
// the state machine exceeds its capacity, the initial, default and trap states are states
// of the machine, every problem points into the diagram, the AsmL text has CR LF line
// ends and one origin per line that points into the diagram, and a second reading writes
// the same text with the same problems. A diagram that loads as a document saves to the
// same bytes, setting it from its own model changes no byte (or is refused with a message
// naming it), and a state added to it reads back as one more state of that name.
#include "FuzzSupport.h"
#include "codegen/DeclarationHelpers.h"
#include "fsm/AsfDocument.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace kestrel;

namespace {

constexpr std::string_view kPath = "/p/Input/Read.asf";

struct Conversion {
    FsmAsmlText asml;
    std::vector<DiagramProblem> problems;
};

std::string Signature() {
    TlmFunction f;
    f.functionName = "Read";
    f.returnTypeIndex = 4;
    f.parameters[1].parameterName = "n";
    f.parameters[1].typeIndex = 4;
    f.parameters[2].parameterName = "addr";
    f.parameters[2].typeIndex = 7;
    f.parameterCount = 2;
    return AsmlSignature(f);
}

Conversion Convert(std::string_view input) {
    static const std::string signature = Signature();
    Conversion out;
    DiagramReading reading = ReadAsfDiagram(input, kPath, "Read");
    const StateMachine& m = reading.machine;
    FUZZ_CHECK(m.states.size() <= kMaxDiagramStates, "states");
    FUZZ_CHECK(m.labels.size() <= kMaxDiagramLabels, "labels");
    FUZZ_CHECK(m.actions.size() <= kMaxDiagramActions, "actions");
    FUZZ_CHECK(m.transitions.size() <= kMaxDiagramTransitions, "transitions");
    FUZZ_CHECK(m.conditions.size() <= kMaxDiagramConditions, "conditions");
    FUZZ_CHECK(m.signals.size() <= kMaxDiagramSignals, "signals");
    FUZZ_CHECK(m.constants.size() <= kMaxDiagramConstants, "constants");
    FUZZ_CHECK(m.initialState <= m.states.size(), "initial state");
    FUZZ_CHECK(m.defaultState <= m.states.size(), "default state");
    FUZZ_CHECK(m.trapState <= m.states.size(), "trap state");

    out.asml.diagramPaths.push_back(std::string(kPath));
    out.problems = std::move(reading.problems);
    std::vector<DiagramProblem> written = WriteFsmNamespace(m, "Read", signature, 0, out.asml);
    out.problems.insert(out.problems.end(), written.begin(), written.end());
    return out;
}

void CheckDocument(std::string_view input) {
    AsfDocument doc;
    if (!AsfDocument::Load(input, kPath, doc)) return;
    FUZZ_CHECK(doc.Bytes() == input, "a loaded diagram saves to other bytes");

    AsfDocument same = doc;
    Status set = ApplyDiagramModel(same, DescribeDiagram(doc));
    FUZZ_CHECK(set || set.message().find(kPath) != std::string::npos, set.message());
    FUZZ_CHECK(same.Bytes() == input, "setting a diagram from its own model changed it");

    const std::size_t states = ReadAsfDiagram(input, kPath, "Read").machine.states.size();
    ObjectNumber added = 0;
    if (AddState(doc, "Fuzz", {1000, 2000}, added) && states < kMaxDiagramStates &&
        doc.CountedLabels().back() == doc.Find(AsfKind::Label, added + 1)) {
        const StateMachine m = ReadAsfDiagram(doc.Bytes(), kPath, "Read").machine;
        FUZZ_CHECK(m.states.size() == states + 1, "an added state is not read");
        FUZZ_CHECK(m.states.back().number == added && m.states.back().name == "Fuzz",
                   "an added state reads with another number or name");
        FUZZ_CHECK(doc.FreeOid() == 0 || doc.FreeOid() > doc.HighestNumber(), "FREEOID");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // An empty diagram is reported at its line 1, where the version line belongs.
    const int diagramLines = std::max(static_cast<int>(SplitLines(input).size()), 1);

    Conversion first = Convert(input);
    for (const DiagramProblem& p : first.problems) {
        FUZZ_CHECK(p.line >= 0 && p.line <= diagramLines, p.message);
        FUZZ_CHECK(!p.message.empty(), "a problem without a message");
        FUZZ_CHECK(p.message.find_first_of("\r\n") == std::string::npos,
                   "a problem message of several lines: " + p.message);
    }
    const std::string& text = first.asml.text;
    FUZZ_CHECK(kestrel::fuzz::OnlyCrLfLineEnds(text), "a line end other than CR LF");
    FUZZ_CHECK(text.empty() || text.ends_with("\r\n"), "the last line has no end");
    FUZZ_CHECK(first.asml.origins.size() == kestrel::fuzz::Occurrences(text, "\r\n"),
               "one origin per line");
    for (const DiagramOrigin& o : first.asml.origins) {
        FUZZ_CHECK(o.diagram == -1 || o.diagram == 0, "origin diagram");
        FUZZ_CHECK(o.diagram == -1 || (o.line >= 1 && o.line <= diagramLines), "origin line");
    }

    CheckDocument(input);

    Conversion second = Convert(input);
    FUZZ_CHECK(second.asml.text == text, "a second conversion writes another text");
    FUZZ_CHECK(second.problems.size() == first.problems.size(), "problems differ");
    for (std::size_t i = 0; i < first.problems.size(); ++i)
        FUZZ_CHECK(second.problems[i].message == first.problems[i].message &&
                       second.problems[i].line == first.problems[i].line,
                   "problems differ");
    return 0;
}
