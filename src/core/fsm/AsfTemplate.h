#pragma once
// The ASF template of one TLM function: a state diagram for the diagram editor in which
// the transactor's RTL ports stand as port objects and the function's AsmL signature as
// a text object. Only input and output ports are shown: an sc_inout signal keeps its two
// object numbers but gets no record.
#include "codegen/TextWriter.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/Clock.h"
#include "project/ProjectCommands.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// "12/4/2026": month and day without leading zeros, four-digit year.
std::string AsfCreationDate(const LocalDateTime& today);

// The header, bundle and page blocks (from "VERSION=1.19" to the page block's "END").
// FILE= names the part of templatePath after its last separator.
void WriteASF_TemplateInitInfo(TextWriter& out, std::string_view templatePath,
                               const ProjectOptions& options, const LocalDateTime& today);

// The objects block: frame, signature text, then a port and a label per signal of
// `signals`, whose directions are already the transactor's own (ReverseDirections).
void WriteASF_TemplateObject(TextWriter& out, TlmFunction& function, const RtlSignalTable& signals);

// Where the port of the signal at `position` (from 1) stands: columns of three ports,
// 24000 apart, the first at (20700, 239700), each next one 6000 lower.
std::int32_t GetPortX(std::int16_t position);
std::int32_t GetPortY(std::int16_t position);

// The whole template text for a function, from the declared signal table (reversed here,
// on the copy).
std::string AsfTemplateText(std::string_view templatePath, TlmFunction function,
                            RtlSignalTable declaredSignals, const ProjectOptions& options,
                            const LocalDateTime& today);

// The save dialog of Generate ASF Template: its title and the file name it proposes.
std::string AsfTemplateDialogTitle(std::string_view functionName);
std::string DefaultAsfTemplatePath(std::string_view projectFolder, std::string_view functionName);

// "<name>() is a Library function." CR LF "No need to draw FSM for this function.", shown
// with the information icon.
InputRefusal LibraryFunctionRefusal(std::string_view functionName);

// What Generate ASF Template did: `refusal` for a library function, `status` for tables
// that could not be read or an unknown function number (then no file was tried), and
// `written` for the template file itself. The window does not report a failed write (it
// asks whether to open the template all the same); the command line does.
struct AsfTemplateOutcome : CommandOutcome {
    Status written;

    bool ok() const { return CommandOutcome::ok() && written.ok(); }
};

// Generate ASF Template for function `functionNumber` (1-based, table order) once the
// save dialog gave `chosenPath`: refuses a library function; otherwise remembers the
// path in `assignment.asfTemplatePath` (in memory: the assignment dialog's OK saves it),
// reloads the tables from Input and replaces the file at chosenPath with the template.
AsfTemplateOutcome GenerateAsfTemplate(std::string_view projectFolder, int functionNumber,
                                       std::string_view chosenPath, const Clock& clock,
                                       AsfAssignment& assignment);

} // namespace kestrel
