// The ASF diagram reader: whole diagrams, good and damaged, against golden files.
#include "fsm/AsfReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// The reading of every tests/golden/fsmread/<name>.asf, each field with the line it came
// from, against <name>.expected. The cases: a whole diagram (a record after END, unknown
// records, numbers with trailing letters, a later default state, the last label naming a
// state, the last reset transition, flags modulo 4 and 4096, a constant split at "="),
// the label bundles told by their fifth word, and damaged diagrams read as far as they go
// (empty, no objects block, the bare template, texts too short for their quotes, full
// tables reporting once and keeping the first items).
TEST(AsfReader, ReadsEachGoldenDiagram) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(test::GoldenDir() / "fsmread")) {
        if (entry.path().extension() != ".asf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const DiagramReading r = ReadAsfDiagram(
            test::ReadBytes(entry.path()), "/p/Input/" + entry.path().filename().string(), "Read");
        const StateMachine& m = r.machine;
        std::ostringstream o;
        for (const DiagramProblem& p : r.problems) o << p.line << ": " << p.message << "\n";
        for (const DiagramState& s : m.states)
            o << "state " << s.number << " \"" << s.name << "\"" << (s.isDefault ? " default" : "")
              << (s.isTrap ? " trap" : "") << " line " << s.line << " named " << s.nameLine << "\n";
        for (const DiagramLabel& l : m.labels)
            o << "label " << l.number << " of " << l.labelled << " \"" << l.text << "\" line "
              << l.line << "\n";
        for (const DiagramAction& a : m.actions)
            o << "action " << a.number << " of " << a.state << " \"" << a.text << "\" line "
              << a.line << "\n";
        for (const DiagramTransition& t : m.transitions)
            o << "transition " << t.number << " " << t.source << " -> " << t.target << " priority "
              << t.priority << " line " << t.line << "\n";
        for (const DiagramCondition& c : m.conditions)
            o << "condition " << c.number << " of " << c.transition << " \"" << c.text << "\" line "
              << c.line << "\n";
        for (const DiagramSignal& g : m.signals)
            o << "signal " << g.number << " \"" << g.name << "\" = \"" << g.initialValue << "\""
              << (g.hasInitialValue ? "" : " (none)") << " line " << g.line << "\n";
        for (const DiagramConstant& c : m.constants)
            o << "constant " << c.number << " \"" << c.name << "\" = \"" << c.value << "\" line "
              << c.line << " named " << c.nameLine << "\n";
        o << "reset " << m.resetObject << ", initial " << m.initialState << ", default "
          << m.defaultState << ", trap " << m.trapState << "\n";
        fs::path golden = entry.path();
        EXPECT_TRUE(test::MatchesGolden(golden.replace_extension(".expected"), o.str()));
        ++cases;
    }
    EXPECT_GE(cases, 7);
}

} // namespace
} // namespace kestrel
