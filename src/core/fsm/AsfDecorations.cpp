// Frames and free text objects of a diagram, read word by word like the other records:
// the points follow the word "|"; a text object's text is its last field, in quotes,
// after the point and three more words.
#include "fsm/AsfDecorations.h"

#include "fsm/AsfRecord.h"

#include <algorithm>

namespace kestrel {

AsfDecorations DescribeDecorations(const AsfDocument& doc) {
    AsfDecorations out;
    const std::vector<AsfLine>& lines = doc.Lines();
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i) {
        const std::vector<std::string_view> words = SplitRecordWords(lines[i].bytes);
        const std::string_view kind = WordAt(words, 0);
        if (kind != "F" && kind != "G") continue;
        const std::vector<AsfPoint> points = RecordGeometry(words);
        if (kind == "F") {
            if (points.size() >= 2) out.frames.push_back({points[0], points[1]});
            continue;
        }
        if (points.empty()) continue;
        auto bar = std::find(words.begin(), words.end(), std::string_view("|"));
        const auto textWord = static_cast<std::size_t>(bar - words.begin()) + 5;
        if (std::optional<std::string> text = TextFromWord(words, textWord))
            out.texts.push_back({points[0], *text});
    }
    return out;
}

} // namespace kestrel
