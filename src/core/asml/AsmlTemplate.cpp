// Writes template.asml, the starting point of a project's AsmL specification: the head
// with title and author, the hardware data type namespace (fixed text), the RTL port
// namespace, an empty namespace per TLM function with its signature, and the main
// namespace importing them all. Then the converter turns it into a document at the path
// the user chose; the old document is deleted first so the wait is for the new one.
#include "asml/AsmlTemplate.h"

#include "codegen/DeclarationHelpers.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kestrel {

namespace {

constexpr std::array<std::string_view, 79> kHardwareDatatypeLines = {
    "    <para>",
    "    Declaration of Hardware Data types and Constants",
    "    </para>",
    "    <asml><![CDATA[",
    "      namespace nsHardwareDatatype",
    "      // This namespace must be included in every specification",
    "",
    "      import System",
    "",
    "      // Constants",
    "      public const LOGIC_0 = '0'",
    "      public const LOGIC_1 = '1'",
    "      public const LOGIC_X = 'X'",
    "      public const LOGIC_Z = 'Z'",
    "",
    "",
    "      // Datatypes",
    "      public type Logic = Char",
    "",
    "      public type Lv_2 = String where (Size (value) <= 2)",
    "      public type Lv_4 = String where (Size (value) <= 4)",
    "      public type Lv_8 = String where (Size (value) <= 8)",
    "      public type Lv_16 = String where (Size (value) <= 16)",
    "      public type Lv_32 = String where (Size (value) <= 32)",
    "      public type Lv_64 = String where (Size (value) <= 64)",
    "",
    "",
    "      // LogicVector to Integer Convertion Function",
    "      public toInt ( s as String ) as Integer",
    "        var i as Integer = 0",
    "        var n as Integer = 0",
    "        var l as Integer = Size(s)",
    "        step while i <> l",
    "          require (ToInteger(s(i)) = 48 or ToInteger(s(i)) = 49)",
    "          n := n + (ToInteger (s(i)) - 48) * ToInteger(Math.Pow (2, (l - i - 1 )))",
    "          i := i + 1",
    "        step",
    "          return (n)",
    "",
    "      // Integer to LogicVector Convertion Function",
    "      public toLv ( n as Integer ) as String",
    "        var q as Integer = 0",
    "        var r as Integer = 0",
    "        var m as Integer = 0",
    "        var cstate as Integer = 1",
    "        var s as String = \"\"",
    "        var sr as String = \"\"",
    "        var i as Integer = 0",
    "        var l as Integer = 0",
    "        step",
    "          m := n",
    "        step while cstate <> 3",
    "          if cstate = 1 then",
    "            q := ToInteger ( m / 2 )",
    "            r := m mod 2",
    "            cstate := 2",
    "          if cstate = 2 then",
    "            s := s + ToString (r)",
    "            if q > 0 then",
    "              m := q",
    "              cstate := 1",
    "            else",
    "              cstate := 3",
    "        step",
    "          l := Size (s)",
    "          i := 0",
    "        step while i <> l",
    "          sr := sr + s( l - i - 1 )",
    "          i := i + 1",
    "        step",
    "          return (sr)",
    "",
    "",
    "      // Set Clock Signal Function",
    "      public SetClockSignal ( clk as Logic, isPosEdge as Boolean ) as Boolean",
    "        return true",
    "",
    "",
    "    ]]></asml>",
};

// The para heading and the opening of an asml element, the first four lines of every
// namespace block.
void OpenNamespaceBlock(TextWriter& out, std::string_view heading) {
    out.line("    <para>");
    out.line({"    ", heading});
    out.line("    </para>");
    out.line("    <asml><![CDATA[");
}

} // namespace

void WriteAsmLTemplateInitTag(TextWriter& out, const ProjectOptions& options) {
    out.line("<?xml version=\"1.0\"?>");
    out.line("<document>");
    out.line("  <head>");
    out.line({"    <title>AsmL Specification of ", options.title, " </title>"});
    out.line({"    <author>", options.author, "</author>"});
    out.line("    <renderinghint client=\"msword\">AsmL2 Specification.dot</renderinghint>");
    out.line("  </head>");
    out.line("  <section>");
}

void WriteAsmLTemplateNS_HardwareDatatype(TextWriter& out) {
    for (std::string_view line : kHardwareDatatypeLines) out.line(line);
}

std::string MakeAsmLRTL_SigDeclarationString(const RtlSignal& signal) {
    std::string type;
    std::string value = signal.initValue.Text();
    const SignalDataType dataType = signal.DataType();
    if (dataType == SignalDataType::LogicVector) {
        type = "Lv_" + std::to_string(signal.width);
        value = "\"" + value + "\"";
    } else if (dataType == SignalDataType::Logic || dataType == SignalDataType::Bool) {
        type = "Logic";
        if (value == "0" || value == "1" || value == "X" || value == "Z") value = "LOGIC_" + value;
    }
    return "      public var " + signal.signalName.Text() + " as " + type + " = " + value;
}

void WriteAsmLTemplateNS_RTL(TextWriter& out, const RtlSignalTable& signals) {
    OpenNamespaceBlock(out, "Declaration of RTL Ports");
    out.line("      namespace nsRTL");
    out.line("      import nsHardwareDatatype");
    out.blank();
    out.line("      // All the RTL signals are declared here");
    out.blank();
    for (const RtlSignal& signal : signals.Used())
        out.line(MakeAsmLRTL_SigDeclarationString(signal));
    out.blank();
    out.blank();
    out.line("    ]]></asml>");
}

void WriteAsmLTemplateNS_Function(TextWriter& out, TlmFunction& function) {
    const std::string name = function.functionName.Text();
    OpenNamespaceBlock(out, "TLM Function Name: " + name + " ()");
    out.line({"      namespace ns", name});
    out.line("      import nsHardwareDatatype");
    out.line("      import nsRTL");
    out.blank();
    out.line("      // Declare Enumeration here");
    out.blank();
    out.blank();
    out.line("      // Function Declaration");
    out.line({"      ", AsmlSignature(function)});
    out.blank();
    out.line("        // Declare Constants here");
    out.blank();
    out.line("        // Declare Local AsmL Variables here");
    out.blank();
    out.line("        // Specify the RTL Clock Signal here");
    out.blank();
    out.line("        // Start writing State Machine from here");
    for (int i = 0; i < 7; ++i) out.blank();
    out.line("    ]]></asml>");
}

void WriteAsmLTemplateNS_Main(TextWriter& out, const TlmFunctionTable& functions,
                              const ProjectOptions& options) {
    OpenNamespaceBlock(out, "Call TLM Functions for Execution and Debugging");
    out.line("      namespace nsMain");
    out.line("      import nsHardwareDatatype");
    out.line("      import nsRTL");
    for (const TlmFunction& function : functions.Used())
        if (!function.isLibrary) out.line({"      import ns", function.functionName.Text()});
    out.blank();
    out.blank();
    out.line("      Main()");
    out.line("        step");
    out.line({"          WriteLine ( \"", options.title, "\" ) "});
    out.blank();
    out.blank();
    out.line("    ]]></asml>");
}

void WriteAsmLTemplateEndTag(TextWriter& out) {
    out.line("  </section>");
    out.line("</document>");
}

std::string AsmlTemplateText(TlmFunctionTable functions, const RtlSignalTable& signals,
                             const ProjectOptions& options) {
    TextWriter out;
    WriteAsmLTemplateInitTag(out, options);
    WriteAsmLTemplateNS_HardwareDatatype(out);
    WriteAsmLTemplateNS_RTL(out, signals);
    for (TlmFunction& function : functions.Used())
        if (!function.isLibrary) WriteAsmLTemplateNS_Function(out, function);
    WriteAsmLTemplateNS_Main(out, functions, options);
    WriteAsmLTemplateEndTag(out);
    return out.take();
}

std::optional<InputRefusal> CheckAsmlTemplatePath(std::string_view chosenPath) {
    if (chosenPath.find(' ') == std::string_view::npos) return std::nullopt;
    InputRefusal refusal;
    refusal.text = "Please choose path without White Space.";
    refusal.title = "White Space in path";
    return refusal;
}

DocumentConverter DefaultDocumentConverter(ProcessRunner& runner) {
    DocumentConverter converter;
    converter.program = RunningProgramFolder() + "/" + std::string(kDocumentGenerator);
    converter.runner = &runner;
    return converter;
}

Status ProjectAsmlTemplateText(std::string_view projectFolder, std::string& text) {
    TlmFunctionTable functions;
    RtlSignalTable signals;
    ProjectOptions options;
    if (Status s = LoadTlmFunctions(projectFolder, functions); !s) return s;
    if (Status s = LoadRtlSignals(projectFolder, signals); !s) return s;
    if (Status s = LoadOptions(projectFolder, options); !s) return s;
    text = AsmlTemplateText(functions, signals, options);
    return Status::Ok();
}

CommandOutcome GenerateAsmlTemplate(std::string_view projectFolder, std::string_view chosenPath,
                                    AsmlAssignment& assignment,
                                    const DocumentConverter& converter) {
    CommandOutcome outcome;
    if (auto refusal = CheckAsmlTemplatePath(chosenPath)) {
        outcome.refusal = std::move(refusal);
        return outcome;
    }
    assignment.asmlDocumentPath = std::string(chosenPath);

    std::string text;
    if (Status s = ProjectAsmlTemplateText(projectFolder, text); !s) return {std::nullopt, s};
    const std::string templatePath = TempPath(projectFolder, kAsmlTemplateFile);
    if (Status s = WriteFileAtomic(templatePath, text); !s) return {std::nullopt, s};
    if (Status s = RemoveFileIfExists(chosenPath); !s) return {std::nullopt, s};

    const std::string document(chosenPath);
    if (converter.runner == nullptr) {
        outcome.status = Status::Error("No document converter to write " + document);
        return outcome;
    }
    ProcessOutcome run = converter.runner->Run(
        converter.program, {NativePath(templatePath).string(), NativePath(document).string()},
        converter.timeout);
    std::string reason = Utf8ToCp1252Lossy(run.errorOutput);
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back())))
        reason.pop_back();
    if (!run.started) {
        outcome.status = Status::Error("The document converter " + converter.program +
                                       " could not be started: " + reason);
    } else if (run.timedOut) {
        outcome.status = Status::Error(
            "The document converter did not write " + document + " within " +
            std::to_string(
                std::chrono::duration_cast<std::chrono::seconds>(converter.timeout).count()) +
            " seconds; it was stopped");
    } else if (run.exitCode != 0 || !FileExists(document)) {
        outcome.status = Status::Error("The document converter did not write " + document +
                                       (reason.empty() ? std::string() : ": " + reason));
    }
    return outcome;
}

} // namespace kestrel
