// Picks the lines of a failed build that say why it failed: each tool's error lines by
// their form, the compiler's diagnostics by the compiler output reader, and names the
// tool that stopped.
#include "sim/BuildFailure.h"

#include "sim/CompilerDiagnostics.h"

#include <algorithm>

namespace kestrel {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool Indented(std::string_view line) {
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

// A line of the linker: "/usr/bin/ld: ...", or the place of an unresolved symbol it
// names on a line of its own ("sc_main.cpp:(.text+0x1c): undefined reference to ...").
bool IsLinkerLine(std::string_view line) {
    for (std::string_view problem : {": undefined reference to ", ": multiple definition of "})
        if (line.find(problem) != std::string_view::npos) return true;
    std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos) return false;
    std::string_view program = line.substr(0, colon);
    program = program.substr(
        program.find_last_of('/') == std::string_view::npos ? 0 : program.find_last_of('/') + 1);
    return program == "ld" || program.ends_with("-ld") || program == "ld.gold" ||
           program == "ld.lld" || program == "ld.bfd";
}

bool IsVerilatorError(std::string_view line) {
    return line.starts_with("%Error");
}

} // namespace

std::vector<std::string> ToolErrorLines(std::string_view output) {
    const std::string text = WithoutEscapes(output);
    const std::vector<std::string_view> lines = Lines(text);
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        const bool cmake = line.starts_with("CMake Error");
        if (cmake || IsVerilatorError(line)) {
            // The error and the lines that belong to it: CMake indents its message and
            // separates it by blank lines; Verilator indents its quote and search list.
            kept.emplace_back(line);
            std::size_t next = i + 1;
            while (next < lines.size() &&
                   (Indented(lines[next]) || (cmake && lines[next].empty()))) {
                kept.emplace_back(lines[next]);
                ++next;
            }
            while (!kept.empty() && kept.back().empty()) kept.pop_back();
            i = next - 1;
            continue;
        }
        if (IsLinkerLine(line) || line.starts_with("ninja: error:") ||
            (line.starts_with("make") && line.find(": *** ") != std::string_view::npos &&
             line.find("Error ") == std::string_view::npos))
            kept.emplace_back(line);
    }
    return kept;
}

BuildFailureReport DescribeBuildFailure(const SimulationOutcome& outcome) {
    BuildFailureReport report;
    const std::vector<std::string> tools = ToolErrorLines(outcome.buildOutput);
    auto any = [&](auto test) { return std::any_of(tools.begin(), tools.end(), test); };
    const bool verilator = any([](const std::string& l) { return IsVerilatorError(l); });
    const bool cmake = any([](const std::string& l) { return l.starts_with("CMake Error"); });
    const bool linker = any([](const std::string& l) { return IsLinkerLine(l); });
    const bool compiler = std::any_of(
        outcome.diagnostics.begin(), outcome.diagnostics.end(), [](const MappedDiagnostic& d) {
            return d.compiler.IsError() && d.compiler.file != "collect2" &&
                   d.compiler.file != "ninja" && d.compiler.file != "make";
        });
    if (verilator)
        report.what = "Verilator stopped on the Verilog";
    else if (cmake || outcome.reached == SimulationStep::Configure)
        report.what = "cmake could not configure the build";
    else if (compiler)
        report.what = "the C++ compiler stopped";
    else if (linker)
        report.what = "the link failed";
    else
        report.what = "the build failed";

    for (const std::string& line : tools) report.lines += line + "\n";
    // The compiler's diagnostics; the lines of a tool that a GCC-style reader also takes
    // for one ("ninja: error: ...", "collect2: error: ...") are shown once, above or alone.
    std::vector<MappedDiagnostic> diagnostics;
    for (const MappedDiagnostic& diagnostic : outcome.diagnostics)
        if (std::find(tools.begin(), tools.end(), diagnostic.compiler.text) == tools.end())
            diagnostics.push_back(diagnostic);
    report.lines += FormatMappedDiagnostics(diagnostics);
    if (report.lines.empty()) {
        report.lines = WithoutEscapes(outcome.buildOutput);
        if (!report.lines.empty() && report.lines.back() != '\n') report.lines += '\n';
    }
    return report;
}

} // namespace kestrel
