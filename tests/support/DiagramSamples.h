#pragma once
// Sample diagrams shared by the diagram tests.
#include "fsm/AsfDocument.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"

#include <gtest/gtest.h>

#include <map>
#include <string_view>

namespace kestrel::sample {

// A template head and an objects block with the frame only, of the function Send.
inline AsfDocument EmptyDiagram(std::string_view path = "/p/Input/Send.asf") {
    AsfDocument doc;
    Status s = AsfDocument::Load(
        "VERSION=1.19\r\nHEADER\r\nFILE=\"Send.asf\"\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\n"
        "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700\r\n"
        "END\r\n",
        path, doc);
    EXPECT_TRUE(s) << s.message();
    return doc;
}

// Deletes every state, the reset and every signal of the diagram, then draws them again
// through the editing operations from the diagram's own model: all objects new, at their
// old places. Gives the model it was drawn from.
inline DiagramModel RedrawFromScratch(AsfDocument& doc) {
    const DiagramModel m = DescribeDiagram(doc);
    auto ok = [](const Status& s) { EXPECT_TRUE(s) << s.message(); };
    for (const ModelState& s : m.states) ok(DeleteState(doc, *s.id));
    if (m.reset) ok(RemoveReset(doc));
    for (const ModelSignal& s : m.signals) ok(DeleteSignal(doc, *s.id));
    std::map<ObjectNumber, ObjectNumber> number;
    for (const ModelState& s : m.states) {
        ok(AddState(doc, s.name, *s.at, number[*s.id]));
        ok(SetStateKind(doc, number[*s.id], s.kind));
    }
    if (m.reset) ok(AddReset(doc, *m.reset->at, number[*m.reset->id]));
    for (const ModelTransition& t : m.transitions)
        ok(AddTransition(doc, number[t.from], number[t.to], t.priority, t.condition,
                         number[*t.id]));
    for (const ModelAction& a : m.actions)
        ok(AddAction(doc, number[a.state], a.text, number[*a.id]));
    for (const ModelSignal& s : m.signals) ok(AddSignal(doc, s.name, s.init, number[*s.id]));
    return m;
}

} // namespace kestrel::sample
