#pragma once
// The words of one ASF record and the small text rules the diagram reader applies to
// them: words split at every single blank, words read as numbers and as points, the text
// that stands in quotes from a word to the end of the record, and backslash removal.
#include "fsm/StateMachine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The record split at every single blank: two blanks in a row give an empty word.
std::vector<std::string_view> SplitRecordWords(std::string_view record);

// Word k (from 0), or the empty text past the last word.
std::string_view WordAt(const std::vector<std::string_view>& words, std::size_t k);

// A word read as a decimal number the way a number conversion of text does: an optional
// sign and the leading digits ("27q" is 27); a word without leading digits is 0.
ObjectNumber WordNumber(std::string_view word);

// A word "x,y" of two numbers (each digits with an optional leading minus) read as a point.
bool WordPoint(std::string_view word, ObjectNumber& x, ObjectNumber& y);

// The text without its first and its last character: the text between the quotes of a
// quoted word. Nothing when the text is shorter than two characters.
std::optional<std::string> WithoutEnds(std::string_view text);

// Text from word k: words k to the last joined with single blanks, without the first
// and the last character (for a record whose last field is a quoted text, the text
// between the quotes, blanks included). Nothing when that is shorter than two characters.
std::optional<std::string> TextFromWord(const std::vector<std::string_view>& words, std::size_t k);

// The bundle word of a label record (its word 5, with the opening quote): a quote and
// exactly "State" for the "State Labels" bundle (text from word 12), or a word whose
// characters 2 to 7 are "Labels" for the "Labels" bundle (text from word 11).
bool IsStateLabelBundle(std::string_view word);
bool IsLabelsBundle(std::string_view word);
inline constexpr std::size_t kStateLabelTextWord = 12;
inline constexpr std::size_t kLabelTextWord = 11;
// The text word of action and condition records.
inline constexpr std::size_t kNoteTextWord = 11;

// The text with every backslash removed.
std::string RemoveBackslashes(std::string_view text);

} // namespace kestrel
