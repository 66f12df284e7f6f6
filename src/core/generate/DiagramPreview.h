#pragma once
// What Generate would make of one diagram, without writing anything: the AsmL namespace
// that the FSM route writes into clean.asml for it, and the SystemC section texts the
// translator makes of that namespace with the project's declarations. Translation errors
// come back as checks placed at the diagram line (and object) that produced them.
#include "fsm/AsfChecks.h"
#include "fsm/AsfDocument.h"
#include "model/ProjectTables.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct DiagramPreview {
    std::string asml; // the namespace, lines ended by CR LF
    // The four section texts of the function (.dec, .ini, .asm, .upd), CR LF lines.
    std::string declarations;
    std::string initialisation;
    std::string behaviour;
    std::string update;
    // Every error Generate would report for the diagram: the problems of reading and
    // converting it (the reader's are also among CheckDiagram's errors) and the errors of
    // its translation; then the warnings check gives for the function's AsmL. An editor
    // shows these with CheckDiagram's warnings.
    std::vector<DiagramCheck> checks;
};

// The preview of the diagram as the behaviour of function `function` (1-based slot) of a
// project whose tables are given as stored (they are prepared here as for a run).
DiagramPreview PreviewDiagram(const AsfDocument& doc, const ProjectTables& tables, int function);

// Every check of a diagram, as the editor and `diagram check` list them: without a preview
// (no project) CheckDiagram's; with one, Generate's errors from the preview and then
// CheckDiagram's warnings.
std::vector<DiagramCheck> DiagramChecks(const AsfDocument& doc, std::string_view functionName,
                                        const DiagramPreview* preview);

// The AsmL namespace of the diagram alone, for a diagram opened without its project: the
// function is named `functionName` and has the signature `signature` (may be empty).
std::string DiagramAsml(const AsfDocument& doc, std::string_view functionName,
                        std::string_view signature);

} // namespace kestrel
