// The behaviour of a bus master's project, as a user would make it: method asml fills the
// project's AsmL template (the text Generate AsmL Template writes) and assigns it; method
// fsm writes each function's ASF template (Generate ASF Template), draws the protocol's
// machine into it and assigns the two diagrams. Each file is written into Temp first and the
// assignment's OK copies it into Input, as the windows do.
#include "bus/FromRtlBehaviour.h"

#include "asml/AsmlTemplate.h"
#include "bus/BusAsml.h"
#include "fsm/AsfDocument.h"
#include "fsm/AsfTemplate.h"
#include "model/Assignments.h"
#include "model/ProjectPaths.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "project/AsmlAssignmentRules.h"
#include "project/FsmAssignment.h"

#if __has_include("bus/BusDiagrams.h")
#include "bus/BusDiagrams.h"
#define KESTREL_BUS_DIAGRAMS 1
#endif

#include <memory>

namespace kestrel {

namespace {

Status WriteAsml(ProjectRecord& record, const BusPortSet& ports,
                 std::vector<std::string>& written) {
    const std::string& folder = record.projectFolder;
    std::string text;
    if (Status s = ProjectAsmlTemplateText(folder, text); !s) return s;
    if (Status s = FillBusAsmlTemplate(text, ports); !s) return s;
    const std::string name = record.projectName + ".asml";
    if (Status s = WriteFileAtomic(TempPath(folder, name), text); !s) return s;
    AsmlAssignmentState state;
    if (Status s = LoadAsmlAssignmentState(folder, state); !s) return s;
    AssignAsmlDocument(state, TempPath(folder, name));
    if (Status s = AcceptAsmlAssignment(record, state); !s) return s;
    written.push_back(InputPath(folder, name));
    return {};
}

// The template of function `number` at `path`, with the protocol's machine drawn into it.
Status DrawDiagram(const std::string& folder, int number, BusFunction function,
                   const BusPortSet& ports, const std::string& path, AsfAssignment& assignment) {
    SystemClock clock;
    const AsfTemplateOutcome made = GenerateAsfTemplate(folder, number, path, clock, assignment);
    if (made.refusal) return Status::Error(made.refusal->text);
    if (!made.status) return made.status;
    if (!made.written) return made.written;
    std::string bytes;
    if (Status s = ReadFileBytes(path, bytes); !s) return s;
    AsfDocument doc;
    if (Status s = AsfDocument::Load(bytes, path, doc); !s) return s;
#ifdef KESTREL_BUS_DIAGRAMS
    if (Status s = DrawBusMachine(doc, ports, function); !s) return s;
#else
    (void)ports;
    (void)function;
    return Status::Error("this build cannot draw the bus machines: use --method asml");
#endif
    return WriteFileAtomic(path, doc.Bytes());
}

Status WriteDiagrams(ProjectRecord& record, const BusPortSet& ports,
                     std::vector<std::string>& written) {
    const std::string& folder = record.projectFolder;
    AsfAssignment assignment;
    if (Status s = LoadAsfAssignment(folder, assignment); !s) return s;
    const std::pair<BusFunction, const char*> functions[] = {
        {BusFunction::Write, kBusWriteFunction}, {BusFunction::Read, kBusReadFunction}};
    for (int number = 1; number <= 2; ++number) {
        const auto& [function, name] = functions[number - 1];
        const std::string path = TempPath(folder, std::string(name) + ".asf");
        if (Status s = DrawDiagram(folder, number, function, ports, path, assignment); !s) return s;
    }
    if (Status s = SaveAsfAssignment(folder, assignment); !s) return s;
    auto state = std::make_unique<FsmAssignmentState>();
    if (Status s = LoadFsmAssignment(folder, *state); !s) return s;
    for (int number = 1; number <= 2; ++number) {
        const std::string file = std::string(functions[number - 1].second) + ".asf";
        AssignAsfFile(state->rows.at(static_cast<std::size_t>(number - 1)), TempPath(folder, file));
        written.push_back(InputPath(folder, file));
    }
    return AcceptFsmAssignment(record, *state);
}

} // namespace

Status WriteBusBehaviour(ProjectRecord& record, const BusPortSet& ports, bool asml,
                         std::vector<std::string>& written) {
    return asml ? WriteAsml(record, ports, written) : WriteDiagrams(record, ports, written);
}

} // namespace kestrel
