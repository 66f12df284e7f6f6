#pragma once
// Text helpers. Inside the core every text is a byte string in the
// single-byte code page Windows-1252, exactly as it stands in the project files;
// conversion to and from UTF-8 happens only where text meets the desktop or a terminal.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The text between double quotes, as messages name files and entries.
std::string Quoted(std::string_view text);

// A text from an untrusted or damaged file, made safe to show in a message: control bytes
// (below 0x20 and 0x7F) become '?', and the result is quoted.
std::string Shown(std::string_view text);

// Removes leading and trailing blanks (0x20) only, as the table readers do.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Windows-1252 bytes to UTF-8. Bytes without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control of the same number, so the conversion never fails.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 to Windows-1252; std::nullopt when the text is not UTF-8 or holds a
// character the code page cannot represent.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

// Like Utf8ToCp1252, but an unrepresentable character becomes '?'; invalid UTF-8
// bytes are kept as they are.
std::string Utf8ToCp1252Lossy(std::string_view text);

// The lines of a text without their ends: CR LF, a lone CR and a lone LF each end a line,
// and a last line without an end still counts. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// Lower case of ASCII letters only (names are compared this way).
std::string AsciiLower(std::string_view text);

// Lower case of every Windows-1252 capital: A-Z, the accented capitals 0xC0-0xDE (but the
// multiplication sign 0xD7), and Š, Œ, Ž, Ÿ. Archive entry names are compared this way.
std::string Cp1252Lower(std::string_view text);

// Reads the leading number of a text the way the numeric boxes do: blanks and tabs
// are skipped, then an optional sign, digits, a decimal point and an exponent.
// A text that starts with no number reads as 0.
double LeadingNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even integer.
double RoundHalfEven(double value);

} // namespace kestrel
