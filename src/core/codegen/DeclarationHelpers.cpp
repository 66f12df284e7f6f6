// The declaration helpers of generation: substring counting, AsmL type names and method
// headers, the in-memory direction reversal and initial-value rewriting of the signal
// table, the clock lookup, and the banner, include guard, parameter list and date stamp
// shared by the three generated files.
#include "codegen/DeclarationHelpers.h"

#include "codegen/TextWriter.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdio>

namespace kestrel {

namespace {

int ClampedCount(int count, int capacity) {
    return std::clamp(count, 0, capacity);
}

// Upper case in Windows-1252: ASCII letters, the accented letters of 0xE0..0xFE (except
// the division sign) and the four letters whose capitals lie in 0x80..0x9F.
char UpperCp1252(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);
    switch (b) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
    }
}

} // namespace

std::int16_t CountOccurrences(std::string_view text, std::string_view pattern) {
    if (pattern.empty() || pattern.size() > text.size()) return 0;
    int count = 0;
    for (std::size_t i = 0; i + pattern.size() <= text.size(); ++i) {
        if (text.compare(i, pattern.size(), pattern) == 0 && count < 32767) ++count;
    }
    return static_cast<std::int16_t>(count);
}

std::string AsmlTypeName(int typeIndex) {
    if (typeIndex == 1) return "Boolean";
    if (typeIndex >= 2 && typeIndex <= 7) return "Integer";
    return "";
}

std::string AsmlSignature(TlmFunction& function) {
    function.functionName = function.functionName.Text();
    std::string head = "public " + function.functionName.Text();

    std::string list = " (  ";
    int count = ClampedCount(function.parameterCount, kMaxParameters);
    for (int p = 1; p <= count; ++p) {
        TlmParameter& parameter = function.parameters[static_cast<std::size_t>(p)];
        parameter.parameterName = parameter.parameterName.Text();
        list += parameter.parameterName.Text();
        list += " as ";
        if (parameter.isArray) list += "Seq of ";
        list += AsmlTypeName(parameter.typeIndex);
        list += ", ";
    }
    list.resize(list.size() - 2);
    list += " ) ";

    std::string tail;
    if (function.returnTypeIndex != 0) tail = "as " + AsmlTypeName(function.returnTypeIndex);
    return head + list + tail;
}

void ReverseDirections(RtlSignalTable& signals) {
    int count = ClampedCount(signals.count, kMaxSignals);
    for (int s = 1; s <= count; ++s) {
        RtlSignal& signal = signals[s];
        if (signal.isClock) continue;
        if (signal.directionIndex == 0) {
            signal.directionIndex = 1;
            signal.directionText = "sc_out";
        } else if (signal.directionIndex == 1) {
            signal.directionIndex = 0;
            signal.directionText = "sc_in";
        }
    }
}

void NormalizeInitValues(RtlSignalTable& signals) {
    int count = ClampedCount(signals.count, kMaxSignals);
    for (int s = 1; s <= count; ++s) {
        RtlSignal& signal = signals[s];
        std::string value = signal.initValue.Text();
        if (signal.dataTypeIndex == 1) {
            signal.initValue = "\"" + value + "\"";
        } else if (signal.dataTypeIndex == 0 || signal.dataTypeIndex == 2) {
            if (value == "0" || value == "1" || value == "X" || value == "Z")
                value = "SC_LOGIC_" + value;
            signal.initValue = value;
        }
    }
}

void FindClockSignal(RtlSignalTable& signals, const ProjectOptions& options,
                     ClockSelection& clock) {
    int count = ClampedCount(signals.count, kMaxSignals);
    for (int s = 1; s <= count; ++s) {
        RtlSignal& signal = signals[s];
        if (!signal.isClock) continue;
        signal.signalName = signal.signalName.Text();
        clock.clockSignalName = signal.signalName.Text();
        break;
    }
    clock.clockOnPositiveEdge = options.clockPositiveEdge;
}

std::string DateStampText(const LocalDateTime& now) {
    int hour12 = now.hour % 12 == 0 ? 12 : now.hour % 12;
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d %s", hour12, now.minute, now.second,
                  now.hour < 12 ? "AM" : "PM");
    return WeekdayName(now.weekday) + ", " + MonthAbbreviation(now.month) + " " +
           std::to_string(now.day) + ", " + std::to_string(now.year) + " @ " + time;
}

void WriteFileBanner(TextWriter& out, std::string_view titleLine, const ProjectOptions& options,
                     const LocalDateTime& now, BannerKind kind) {
    const std::string stars(53, '*');
    const std::string minuses(54, '-');
    out.line({"/", stars});
    out.blank();
    out.line(titleLine);
    out.blank();
    out.line({"Title:   ", options.title});
    out.line({"Author:  ", options.author});
    out.line({"Company: ", options.company});
    out.line({"Date:    ", DateStampText(now)});
    if (options.useCommentInHeaders && CountOccurrences(options.comment, "\r\n") > 0) {
        std::string_view rest = options.comment;
        bool first = true;
        for (;;) {
            std::size_t end = rest.find("\r\n");
            std::string_view part = rest.substr(0, end);
            out.line({first ? "Comment: " : "         ", part});
            first = false;
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 2);
        }
    }
    out.blank();
    out.blank();
    out.line(minuses);
    out.line(kind == BannerKind::Template ? "      This file is autometically generated by"
                                          : "      This file is automatically generated by");
    out.line("        Kestrel v1.1");
    out.line(minuses);
    out.blank();
    out.line({stars, "/"});
    out.blank();
}

std::string IncludeGuard(std::string_view headerPath) {
    std::string name = AfterLastSeparator(headerPath);
    name.resize(name.size() >= 2 ? name.size() - 2 : 0);
    std::transform(name.begin(), name.end(), name.begin(), UpperCp1252);
    return "_" + name + "_H_";
}

std::string ParameterListText(const TlmFunction& function) {
    std::string list;
    int count = ClampedCount(function.parameterCount, kMaxParameters);
    for (int p = 1; p <= count; ++p) {
        const TlmParameter& parameter = function.parameters[static_cast<std::size_t>(p)];
        if (p > 1) list += ", ";
        if (parameter.isConst) list += "const ";
        list += parameter.typeText.Text();
        list += " ";
        list += parameter.passMarker.Text();
        list += " ";
        list += parameter.parameterName.Text();
        if (parameter.isArray) list += " []";
    }
    return list;
}

} // namespace kestrel
