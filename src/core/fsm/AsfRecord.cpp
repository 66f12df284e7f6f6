// Word-level rules of ASF records: splitting at single blanks, leading-digit numbers,
// points, quoted text from a word to the end of the record, backslash removal.
#include "fsm/AsfRecord.h"

namespace kestrel {

namespace {
// Numbers are only compared and reduced modulo small values; anything longer than this
// many digits cannot name an object of a real diagram and is held at this bound.
constexpr ObjectNumber kNumberBound = 999'999'999'999;
} // namespace

std::vector<std::string_view> SplitRecordWords(std::string_view record) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (true) {
        std::size_t blank = record.find(' ', start);
        if (blank == std::string_view::npos) {
            words.push_back(record.substr(start));
            return words;
        }
        words.push_back(record.substr(start, blank - start));
        start = blank + 1;
    }
}

std::string_view WordAt(const std::vector<std::string_view>& words, std::size_t k) {
    return k < words.size() ? words[k] : std::string_view();
}

ObjectNumber WordNumber(std::string_view word) {
    std::size_t at = 0;
    bool negative = false;
    if (at < word.size() && (word[at] == '-' || word[at] == '+')) negative = word[at++] == '-';
    ObjectNumber value = 0;
    for (; at < word.size() && word[at] >= '0' && word[at] <= '9'; ++at) {
        value = value * 10 + (word[at] - '0');
        if (value > kNumberBound) value = kNumberBound;
    }
    return negative ? -value : value;
}

bool WordPoint(std::string_view word, ObjectNumber& x, ObjectNumber& y) {
    auto numeric = [](std::string_view t) {
        if (!t.empty() && t[0] == '-') t.remove_prefix(1);
        return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::size_t comma = word.find(',');
    if (comma == std::string_view::npos || !numeric(word.substr(0, comma)) ||
        !numeric(word.substr(comma + 1)))
        return false;
    x = WordNumber(word.substr(0, comma));
    y = WordNumber(word.substr(comma + 1));
    return true;
}

std::optional<std::string> WithoutEnds(std::string_view text) {
    if (text.size() < 2) return std::nullopt;
    return std::string(text.substr(1, text.size() - 2));
}

std::optional<std::string> TextFromWord(const std::vector<std::string_view>& words, std::size_t k) {
    if (k >= words.size()) return std::nullopt;
    // The words are views into one record, so words k to the last joined with single
    // blanks are the record from the start of word k on.
    const char* begin = words[k].data();
    const char* end = words.back().data() + words.back().size();
    return WithoutEnds(std::string_view(begin, static_cast<std::size_t>(end - begin)));
}

bool IsStateLabelBundle(std::string_view word) {
    return word.size() >= 1 && word.substr(1) == "State";
}

bool IsLabelsBundle(std::string_view word) {
    return word.size() >= 7 && word.substr(1, 6) == "Labels";
}

std::string RemoveBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\\') out.push_back(c);
    return out;
}

} // namespace kestrel
