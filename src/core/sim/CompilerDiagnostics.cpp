// Reads a GCC-style compiler output line by line: a diagnostic line is told by its
// severity word after the place, the lines around it by their forms; context lines wait
// for the next diagnostic, quoting lines join the last one.
#include "sim/CompilerDiagnostics.h"

#include <array>
#include <cctype>
#include <optional>

namespace kestrel {

namespace {

constexpr std::array<std::string_view, 7> kSeverities = {
    "fatal error", "internal compiler error", "sorry, unimplemented", "error", "warning", "note",
    "remark"};

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

struct Place {
    std::string_view file;
    int line = 0;
    int column = 0;
};

// "FILE", "FILE:LINE" or "FILE:LINE:COL".
Place ParsePlace(std::string_view text) {
    Place place{text};
    std::optional<int> numbers[2];
    int count = 0;
    while (count < 2) {
        std::size_t colon = place.file.rfind(':');
        if (colon == std::string_view::npos || !AllDigits(place.file.substr(colon + 1))) break;
        numbers[count++] = std::stoi(std::string(place.file.substr(colon + 1)));
        place.file = place.file.substr(0, colon);
    }
    if (count == 2) {
        place.line = *numbers[1];
        place.column = *numbers[0];
    } else if (count == 1) {
        place.line = *numbers[0];
    }
    return place;
}

// The diagnostic of a line "PLACE: SEVERITY: MESSAGE", if it is one.
std::optional<CompilerDiagnostic> ParseDiagnosticLine(std::string_view line) {
    std::size_t best = std::string_view::npos;
    std::string_view severity;
    for (std::string_view word : kSeverities) {
        std::string marker = ": " + std::string(word) + ":";
        for (std::size_t at = line.find(marker); at != std::string_view::npos;
             at = line.find(marker, at + 1)) {
            const std::size_t after = at + marker.size();
            if (after < line.size() && line[after] != ' ') continue;
            if (at < best) {
                best = at;
                severity = word;
            }
            break;
        }
    }
    if (best == std::string_view::npos || best == 0) return std::nullopt;
    Place place = ParsePlace(line.substr(0, best));
    if (place.file.empty() || place.file.front() == ' ') return std::nullopt;
    CompilerDiagnostic diagnostic;
    diagnostic.file = place.file;
    diagnostic.line = place.line;
    diagnostic.column = place.column;
    diagnostic.severity = severity;
    std::size_t message = best + severity.size() + 3; // after ": SEVERITY:"
    if (message < line.size() && line[message] == ' ') ++message;
    if (message < line.size()) diagnostic.message = line.substr(message);
    diagnostic.text = line;
    return diagnostic;
}

// "FILE: In function '...':", "FILE: At global scope:".
bool IsScopeLine(std::string_view line) {
    if (!line.ends_with(':')) return false;
    for (std::string_view mark : {": In ", ": At "}) {
        std::size_t at = line.find(mark);
        if (at != std::string_view::npos && at > 0) return true;
    }
    return false;
}

// "FILE:LINE:COL:   required from here" and the like: a place followed by blanks.
bool IsInstantiationLine(std::string_view line) {
    std::size_t blanks = line.find(":  ");
    if (blanks == std::string_view::npos || blanks == 0) return false;
    Place place = ParsePlace(line.substr(0, blanks));
    return place.line > 0 && !place.file.empty();
}

// "   57 |   x = 1 ;", "      |   ^", "  +++ |+#include <cassert>".
bool IsQuoteLine(std::string_view line) {
    std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    std::string_view rest = line.substr(first);
    if (rest.starts_with('|') || rest.starts_with("+++ |")) return true;
    std::size_t bar = rest.find(" |");
    return bar != std::string_view::npos && AllDigits(rest.substr(0, bar));
}

} // namespace

std::string WithoutEscapes(std::string_view output) {
    std::string text;
    text.reserve(output.size());
    for (std::size_t i = 0; i < output.size(); ++i) {
        if (output[i] != '\x1b' || i + 1 >= output.size()) {
            text.push_back(output[i]);
            continue;
        }
        if (output[i + 1] == '[') {
            // A control sequence: parameters, then one final character from @ to ~.
            std::size_t end = i + 2;
            while (end < output.size() && (output[end] < '@' || output[end] > '~')) ++end;
            i = end;
        } else if (output[i + 1] == ']') {
            // An operating system command (a hyperlink): up to BEL or ESC backslash.
            std::size_t end = i + 2;
            while (end < output.size() && output[end] != '\a' &&
                   !(output[end] == '\x1b' && end + 1 < output.size() && output[end + 1] == '\\'))
                ++end;
            i = end < output.size() && output[end] == '\x1b' ? end + 1 : end;
        } else {
            ++i;
        }
    }
    return text;
}

std::vector<CompilerDiagnostic> ParseCompilerOutput(std::string_view output) {
    const std::string text = WithoutEscapes(output);
    std::vector<CompilerDiagnostic> diagnostics;
    std::vector<std::string> context;
    bool inIncludeChain = false;
    bool afterDiagnostic = false; // the previous line was a diagnostic or its quote

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line = std::string_view(text).substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);

        if (line.starts_with("In file included from ")) {
            context.emplace_back(line);
            inIncludeChain = true;
            afterDiagnostic = false;
            continue;
        }
        if (inIncludeChain && line.find_first_not_of(' ') > 0 &&
            line.substr(line.find_first_not_of(' ')).starts_with("from ")) {
            context.emplace_back(line);
            continue;
        }
        inIncludeChain = false;
        if (std::optional<CompilerDiagnostic> diagnostic = ParseDiagnosticLine(line)) {
            diagnostic->context = std::move(context);
            context.clear();
            diagnostics.push_back(std::move(*diagnostic));
            afterDiagnostic = true;
            continue;
        }
        if (IsScopeLine(line) || IsInstantiationLine(line)) {
            context.emplace_back(line);
            afterDiagnostic = false;
            continue;
        }
        if (afterDiagnostic && (IsQuoteLine(line) || line.starts_with(' '))) {
            diagnostics.back().excerpt.emplace_back(line);
            continue;
        }
        // A line of something else: what came before it says nothing about what follows.
        context.clear();
        afterDiagnostic = false;
    }
    return diagnostics;
}

} // namespace kestrel
