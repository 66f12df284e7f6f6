// Writes the starting ASF state diagram of a TLM function: a fixed header (with the
// project's author, company and title and today's date), the fourteen bundles of the
// diagram editor, the page, then the frame, the signature text and one port with its
// label per RTL signal. Object numbers of signal k are 2k+9 (port) and 2k+10 (label),
// whether or not the signal gets a record.
#include "fsm/AsfTemplate.h"

#include "codegen/DeclarationHelpers.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

constexpr std::string_view kDq = "\"";

struct Bundle {
    std::string_view style;
    std::string_view name;
    std::string_view attributes;
    std::string_view size;
};

constexpr std::array<Bundle, 14> kBundles = {{
    {"T", "Declarations", " 0,0,255 0 0 1 255,255,255 0 2667 0 0000 0 ", "0"},
    {"T", "Conditions", " 236,0,236 0 0 0 255,255,255 0 2667 0 0110 0 ", "0"},
    {"F", "States", " 0,0,0 0 0 1 0,255,0 1 3527 1480 0000 0 ", "0"},
    {"T", "Actions", " 0,0,0 0 0 1 255,255,255 0 2667 0 0000 0 ", "0"},
    {"T", "Labels", " 0,0,0 0 0 0 0,0,0 0 2667 0 0000 0 ", "0"},
    {"L", "Transitions", " 0,0,0 0 0 1 0,0,0 1 3527 1480 0000 0 ", "0"},
    {"F", "Ports", " 0,0,0 0 0 1 0,255,255 1 3527 1480 0000 0 ", "0"},
    {"L", "Errors", " 255,0,0 0 3 1 255,255,255 1 3527 1480 0000 0 ", "0"},
    {"T", "State Labels", " 0,0,0 0 0 0 0,0,0 0 2667 0 0000 0 ", "4"},
    {"F", "Current State", " 255,255,0 0 0 1 255,255,0 1 3527 1480 0000 0 ", "0"},
    {"T", "Comments", " 157,157,157 0 0 1 255,255,255 0 2667 0 0000 0 ", "0"},
    {"L", "Info", " 0,255,0 0 3 1 255,255,255 1 3527 1480 0000 0 ", "0"},
    {"F", "Junction", " 0,0,0 0 0 1 255,0,0 1 3527 1480 0000 0 ", "0"},
    {"F", "Initial State Indicator", " 0,0,0 0 0 1 240,140,40 1 3527 1480 0000 0 ", "0"},
}};

std::string Coordinates(std::int32_t x, std::int32_t y) {
    return std::to_string(x) + "," + std::to_string(y);
}

} // namespace

std::string AsfCreationDate(const LocalDateTime& today) {
    std::string year = std::to_string(today.year);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    return std::to_string(today.month) + "/" + std::to_string(today.day) + "/" + year;
}

void WriteASF_TemplateInitInfo(TextWriter& out, std::string_view templatePath,
                               const ProjectOptions& options, const LocalDateTime& today) {
    out.line("VERSION=1.19");
    out.line("HEADER");
    out.line({"FILE=", kDq, AfterLastSeparator(templatePath), kDq});
    out.line("FID=462c9bbc");
    out.line("LANGUAGE=VHDL");
    out.line({"ENTITY=", kDq, "myEntity", kDq});
    out.line({"ARCHITECTURE=", kDq, "myArch", kDq});
    out.line("FREEOID=60");
    out.line({kDq,
              "LIBRARIES=library IEEE;\\nuse IEEE.std_logic_1164.all;\\n"
              "use IEEE.std_logic_arith.all;\\nuse IEEE.std_logic_unsigned.all;\\n",
              kDq});
    out.line("MULTIPLEARCHSTATUS=FALSE");
    out.line("SYNTHESISATTRIBUTES=TRUE");
    out.line({"HEADER_PARAM=", kDq, "AUTHOR,", options.author, kDq});
    out.line({"HEADER_PARAM=", kDq, "COMPANY,", options.company, kDq});
    out.line({"HEADER_PARAM=", kDq, "CREATIONDATE,", AsfCreationDate(today), kDq});
    out.line({"HEADER_PARAM=", kDq, "TITLE,", options.title, kDq});
    out.line("END");

    out.line("BUNDLES");
    for (const Bundle& b : kBundles)
        out.line(
            {"B ", b.style, " ", kDq, b.name, kDq, b.attributes, kDq, "Arial", kDq, " ", b.size});
    out.line("END");

    out.line("INSTHEADER 1");
    out.line("PAGE 0,0 215900,279400");
    out.line("MARGINS 12700,12700 12700,12700");
    out.line("END");
}

void WriteASF_TemplateObject(TextWriter& out, TlmFunction& function,
                             const RtlSignalTable& signals) {
    out.line("OBJECTS");
    out.line({"F 1 0 671088640 10 0 ", kDq, kDq,
              " 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700"});
    out.line({"G 2 0 0 TEXT 0,0,0 0 0 0 255,255,255 0 3527 1480 0000 0 ", kDq, "Arial", kDq,
              " 0 | 20700,261832 1 0 0 ", kDq, TrimLeft(AsmlSignature(function)), kDq});

    int objectNumber = 10;
    for (int k = 1; k <= signals.UsedCount(); ++k) {
        const RtlSignal& signal = signals[k];
        const std::string port = std::to_string(++objectNumber);
        const std::string label = std::to_string(++objectNumber);
        const std::int32_t x = GetPortX(static_cast<std::int16_t>(k));
        const std::int32_t y = GetPortY(static_cast<std::int16_t>(k));
        if (signal.Direction() == SignalDirection::In) {
            out.line({"I ", port, " 0 ", signal.isClock ? "3" : "2", " Builtin InPort | ",
                      Coordinates(x, y), " ", kDq, kDq, " ", kDq, kDq});
        } else if (signal.Direction() == SignalDirection::Out) {
            out.line({"I ", port, " 0 0 Builtin OutPort | ", Coordinates(x, y), " ", kDq, kDq, " ",
                      kDq, kDq});
        } else {
            continue; // sc_inout (or a typed direction): no port to show
        }
        out.line({"L ", label, " ", port, " 0 TEXT ", kDq, "Labels", kDq, " | ",
                  Coordinates(x + 6000, y), " 1 0 0 ", kDq, signal.signalName.Text(), kDq});
    }
    out.line("END");
}

std::int32_t GetPortX(std::int16_t position) {
    return 20700 + 24000 * ((std::int32_t(position) - 1) / 3);
}

std::int32_t GetPortY(std::int16_t position) {
    return 239700 - 6000 * ((std::int32_t(position) - 1) % 3);
}

std::string AsfTemplateText(std::string_view templatePath, TlmFunction function,
                            RtlSignalTable declaredSignals, const ProjectOptions& options,
                            const LocalDateTime& today) {
    ReverseDirections(declaredSignals);
    TextWriter out;
    WriteASF_TemplateInitInfo(out, templatePath, options, today);
    WriteASF_TemplateObject(out, function, declaredSignals);
    return out.take();
}

std::string AsfTemplateDialogTitle(std::string_view functionName) {
    return "Save ASF Template for Function " + Trim(functionName) + "(...) As...";
}

std::string DefaultAsfTemplatePath(std::string_view projectFolder, std::string_view functionName) {
    return TempPath(projectFolder, Trim(functionName) + ".asf");
}

InputRefusal LibraryFunctionRefusal(std::string_view functionName) {
    InputRefusal refusal;
    refusal.text = Trim(functionName) + "() is a Library function.\r\n"
                                        "No need to draw FSM for this function.";
    return refusal;
}

AsfTemplateOutcome GenerateAsfTemplate(std::string_view projectFolder, int functionNumber,
                                       std::string_view chosenPath, const Clock& clock,
                                       AsfAssignment& assignment) {
    AsfTemplateOutcome outcome;
    TlmFunctionTable functions;
    if (Status s = LoadTlmFunctions(projectFolder, functions); !s) {
        outcome.status = s;
        return outcome;
    }
    if (functionNumber < 1 || functionNumber > std::min<int>(functions.count, kMaxFunctions)) {
        outcome.status =
            Status::Error("The project " + std::string(projectFolder) +
                          " has no TLM function number " + std::to_string(functionNumber));
        return outcome;
    }
    const TlmFunction& selected = functions[functionNumber];
    if (selected.isLibrary) {
        outcome.refusal = LibraryFunctionRefusal(selected.functionName.Text());
        return outcome;
    }

    assignment.asfTemplatePath = std::string(chosenPath);

    RtlSignalTable signals;
    ProjectOptions options;
    if (Status s = LoadRtlSignals(projectFolder, signals); !s) {
        outcome.status = s;
        return outcome;
    }
    if (Status s = LoadOptions(projectFolder, options); !s) {
        outcome.status = s;
        return outcome;
    }
    std::string text = AsfTemplateText(chosenPath, selected, signals, options, clock.Now());
    outcome.written = WriteFileAtomic(chosenPath, text);
    return outcome;
}

} // namespace kestrel
