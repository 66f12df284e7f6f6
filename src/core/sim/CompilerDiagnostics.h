#pragma once
// The diagnostics in what a compiler of the GCC family printed, as g++ prints them on
// its own or inside a build tool's output: "FILE:LINE:COL: error: MESSAGE" (the column
// or the line may be missing; "warning", "note", "fatal error" and the like alike), the
// lines before one that say where it stands ("FILE: In member function '...':", "In file
// included from FILE:LINE," and the "from" lines after it, "FILE:LINE:COL:   required
// from here"), and the lines after one that quote the source ("   57 |   x = 1 ;" and its
// caret line). Every other line (build tool steps, linker lines, the compiler's command)
// belongs to no diagnostic. Colour escapes are removed; texts are kept as printed.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct CompilerDiagnostic {
    std::string file;                 // as printed: a path, or a program name ("cc1plus", "g++")
    int line = 0;                     // from 1; 0 when the compiler named none
    int column = 0;                   // from 1; 0 when it named none
    std::string severity;             // "error", "warning", "note", "fatal error", ...
    std::string message;              // after the severity, to the end of the line
    std::string text;                 // the diagnostic's own line as printed
    std::vector<std::string> context; // the lines before it that say where it stands
    std::vector<std::string> excerpt; // the lines after it that quote the source

    bool IsError() const { return severity == "error" || severity == "fatal error"; }
};

// Every diagnostic of the output, in order. Lines end with LF or CR LF.
std::vector<CompilerDiagnostic> ParseCompilerOutput(std::string_view output);

// The output with the terminal's colour and link escapes taken out.
std::string WithoutEscapes(std::string_view output);

} // namespace kestrel
