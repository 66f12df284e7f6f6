// The preview of a diagram: the FSM route's conversion and translation of one function,
// in memory.
#include "generate/DiagramPreview.h"

#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"

namespace kestrel {

std::string DiagramAsml(const AsfDocument& doc, std::string_view functionName,
                        std::string_view signature) {
    DiagramReading reading = ReadAsfDiagram(doc.Bytes(), doc.Path(), functionName);
    FsmAsmlText out;
    out.diagramPaths.push_back(doc.Path());
    WriteFsmNamespace(reading.machine, functionName, signature, 0, out);
    return out.text;
}

DiagramPreview PreviewDiagram(const AsfDocument& doc, const ProjectTables& tables, int function) {
    DiagramPreview preview;
    if (function < 1 || function > tables.functions.count) return preview;
    const TlmFunction& record = tables.functions[function];
    preview.asml = DiagramAsml(doc, record.functionName.Text(), "");
    return preview;
}

} // namespace kestrel
