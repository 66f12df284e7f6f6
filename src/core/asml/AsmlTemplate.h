#pragma once
// The AsmL specification template: template.asml in the project's Temp folder (an XML
// text whose every AsmL namespace stands in the CDATA section of an `asml` element), and
// the word-processing document the converter kestrel-docgen makes from it.
#include "codegen/TextWriter.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/Process.h"
#include "project/ProjectCommands.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kAsmlTemplateFile = "template.asml";
inline constexpr std::string_view kDocumentGenerator = "kestrel-docgen";

// The writers, one per part of the template, in the order they are called.
void WriteAsmLTemplateInitTag(TextWriter& out, const ProjectOptions& options);
void WriteAsmLTemplateNS_HardwareDatatype(TextWriter& out);
void WriteAsmLTemplateNS_RTL(TextWriter& out, const RtlSignalTable& signals);
void WriteAsmLTemplateNS_Function(TextWriter& out, TlmFunction& function);
void WriteAsmLTemplateNS_Main(TextWriter& out, const TlmFunctionTable& functions,
                              const ProjectOptions& options);
void WriteAsmLTemplateEndTag(TextWriter& out);

// "      public var ack as Logic = LOGIC_0": the port declaration of one signal.
std::string MakeAsmLRTL_SigDeclarationString(const RtlSignal& signal);

// The whole template text; library functions get no namespace and no import.
std::string AsmlTemplateText(TlmFunctionTable functions, const RtlSignalTable& signals,
                             const ProjectOptions& options);

// The template text of the project in `projectFolder`, from the tables in its Input folder:
// the bytes Generate AsmL Template writes into Temp/template.asml.
Status ProjectAsmlTemplateText(std::string_view projectFolder, std::string& text);

// "Please choose path without White Space." titled "White Space in path" for a chosen
// path that holds a blank; nothing otherwise.
std::optional<InputRefusal> CheckAsmlTemplatePath(std::string_view chosenPath);

// How the document converter is run.
struct DocumentConverter {
    std::string program;             // native path of kestrel-docgen
    ProcessRunner* runner = nullptr; // the process seam
    std::chrono::milliseconds timeout{60000};
};

// kestrel-docgen beside the running executable, run by the Linux runner.
DocumentConverter DefaultDocumentConverter(ProcessRunner& runner);

// Generate AsmL Template once the save dialog gave `chosenPath`: refuses a path with a
// blank; sets assignment.asmlDocumentPath (in memory: the assignment dialog's OK saves
// it); writes Temp/template.asml from the tables in Input; deletes any document at the
// chosen path; runs the converter and waits (bounded) for the new document. A converter
// that cannot be started, fails, runs too long or writes no document is a failed status
// naming the document.
CommandOutcome GenerateAsmlTemplate(std::string_view projectFolder, std::string_view chosenPath,
                                    AsmlAssignment& assignment, const DocumentConverter& converter);

} // namespace kestrel
