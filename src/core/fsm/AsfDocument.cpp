// The ASF document: lines with their own ends, and the reader's meaning of each record
// of the objects block, found by the word rules the reader itself uses.
#include "fsm/AsfDocument.h"

#include "fsm/AsfRecord.h"

#include <algorithm>

namespace kestrel {

namespace {

// The lines of a text with their ends, split where SplitLines splits them.
std::vector<AsfLine> SplitKeepingEnds(std::string_view text) {
    std::vector<AsfLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find_first_of("\r\n", start);
        AsfLine line;
        if (stop == std::string_view::npos) {
            line.bytes = std::string(text.substr(start));
            lines.push_back(std::move(line));
            break;
        }
        line.bytes = std::string(text.substr(start, stop - start));
        std::size_t next = stop + 1;
        if (text[stop] == '\r' && next < text.size() && text[next] == '\n') ++next;
        line.end = std::string(text.substr(stop, next - stop));
        lines.push_back(std::move(line));
        start = next;
    }
    return lines;
}

} // namespace

AsfLine ReadObjectRecord(std::string bytes, std::string end) {
    AsfLine r;
    r.bytes = std::move(bytes);
    r.end = std::move(end);
    std::vector<std::string_view> words = SplitRecordWords(r.bytes);
    r.words = words.size();
    r.pointsWord = static_cast<std::size_t>(
        std::find(words.begin(), words.end(), std::string_view("|")) - words.begin() + 1);
    std::string_view kind = words[0];
    r.closesBlock = kind == "END";
    r.number = WordNumber(WordAt(words, 1));
    if (kind == "S") {
        r.kind = AsfKind::State;
        r.flags = WordNumber(WordAt(words, 3));
    } else if (kind == "L") {
        std::string_view bundle = WordAt(words, 5);
        r.stateLabel = IsStateLabelBundle(bundle);
        if (r.stateLabel || IsLabelsBundle(bundle)) {
            r.kind = AsfKind::Label;
            r.text = TextFromWord(words, r.stateLabel ? kStateLabelTextWord : kLabelTextWord);
        }
        r.owner = WordNumber(WordAt(words, 2));
    } else if (kind == "A" || kind == "C") {
        r.kind = kind == "A" ? AsfKind::Action : AsfKind::Condition;
        r.owner = WordNumber(WordAt(words, 2));
        r.text = TextFromWord(words, kNoteTextWord);
    } else if (kind == "W") {
        r.kind = AsfKind::Transition;
        r.flags = WordNumber(WordAt(words, 3));
        r.source = WordNumber(WordAt(words, 4));
        r.target = WordNumber(WordAt(words, 5));
    } else if (kind == "I") {
        // Word 5 says what the object is; a signal's initial value is word 8, in quotes.
        static constexpr std::pair<std::string_view, AsfKind> kObjects[] = {
            {"Reset", AsfKind::Reset},
            {"Constant", AsfKind::Constant},
            {"InPort", AsfKind::InPort},
            {"OutPort", AsfKind::OutPort},
            {"Signal", AsfKind::Signal}};
        for (const auto& [word, objectKind] : kObjects)
            if (WordAt(words, 5) == word) r.kind = objectKind;
        if (r.kind == AsfKind::Signal) r.text = WithoutEnds(WordAt(words, 8));
    } else if (kind == "F") {
        r.drawing = AsfDrawing::Frame;
    } else if (kind == "G") {
        // The text is the last field, in quotes, after the point and three more words.
        r.drawing = AsfDrawing::Text;
        r.text = TextFromWord(words, r.pointsWord + 4);
    }
    // The points: the x,y words after "|", up to the first word that is not one.
    const bool drawn = r.kind != AsfKind::Other || r.drawing != AsfDrawing::None;
    AsfPoint p;
    for (std::size_t k = r.pointsWord; drawn && k < words.size(); ++k) {
        if (!WordPoint(words[k], p.x, p.y)) break;
        r.geometry.push_back(p);
    }
    return r;
}

AsfDocument AsfDocument::Parse(std::string_view bytes, std::string_view path) {
    AsfDocument doc;
    doc.path_ = std::string(path);
    doc.lines_ = SplitKeepingEnds(bytes);
    doc.versioned_ = !doc.lines_.empty() && doc.lines_[0].bytes == "VERSION=1.19";
    if (!doc.versioned_) return doc;
    std::size_t i = 1;
    while (i < doc.lines_.size() && doc.lines_[i].bytes != "OBJECTS") ++i;
    doc.begin_ = std::min(i + 1, doc.lines_.size());
    for (i = doc.begin_; i < doc.lines_.size(); ++i) {
        AsfLine& line = doc.lines_[i];
        AsfLine record = ReadObjectRecord(std::move(line.bytes), std::move(line.end));
        if (record.closesBlock) { // END stays a line of its own, outside the records
            line.bytes = std::move(record.bytes);
            line.end = std::move(record.end);
            break;
        }
        line = std::move(record);
    }
    doc.end_ = i;
    doc.ended_ = i < doc.lines_.size();
    return doc;
}

Status AsfDocument::Load(std::string_view bytes, std::string_view path, AsfDocument& out) {
    AsfDocument doc = Parse(bytes, path);
    if (!doc.versioned_)
        return Status::Error("Invalid ASF file format: " + doc.path_ +
                             " (its first line is not VERSION=1.19)");
    if (!doc.ended_)
        return Status::Error("ASF file ends before the END of its objects block: " + doc.path_);
    out = std::move(doc);
    return Status::Ok();
}

std::string AsfDocument::Bytes() const {
    std::string out;
    for (const AsfLine& line : lines_) out.append(line.bytes).append(line.end);
    return out;
}

std::vector<std::size_t> AsfDocument::Records(AsfKind kind) const {
    std::vector<std::size_t> found;
    for (std::size_t i = begin_; i < end_; ++i)
        if (lines_[i].kind == kind) found.push_back(i);
    return found;
}

std::optional<std::size_t> AsfDocument::Find(AsfKind kind, ObjectNumber number) const {
    std::optional<std::size_t> found;
    for (std::size_t i = begin_; i < end_; ++i)
        if (lines_[i].kind == kind && lines_[i].number == number) found = i;
    return found;
}

std::vector<std::size_t> AsfDocument::CountedLabels() const {
    std::vector<std::size_t> labels = Records(AsfKind::Label);
    if (labels.size() > kMaxDiagramLabels) labels.resize(kMaxDiagramLabels);
    return labels;
}

std::optional<std::size_t> AsfDocument::NameLabel(ObjectNumber object) const {
    std::optional<std::size_t> found;
    for (std::size_t i : CountedLabels())
        if (lines_[i].owner == object) found = i;
    return found;
}

std::string AsfDocument::NameOf(ObjectNumber object) const {
    std::optional<std::size_t> label = NameLabel(object);
    return label ? lines_[*label].text.value_or("") : std::string();
}

std::optional<std::size_t> AsfDocument::ConstantLabel(ObjectNumber constant) const {
    std::optional<std::size_t> found;
    for (std::size_t i : CountedLabels())
        if (lines_[i].owner == constant &&
            lines_[i].text.value_or("").find('=') != std::string::npos)
            found = i;
    return found;
}

std::optional<std::size_t> AsfDocument::LastCondition(ObjectNumber transition) const {
    std::optional<std::size_t> found;
    for (std::size_t i : Records(AsfKind::Condition))
        if (lines_[i].owner == transition) found = i;
    return found;
}

ObjectNumber AsfDocument::ResetNumber() const {
    std::vector<std::size_t> resets = Records(AsfKind::Reset);
    return resets.empty() ? 0 : lines_[resets.back()].number;
}

std::optional<std::size_t> AsfDocument::FreeOidLine() const {
    for (std::size_t i = 1; i < begin_; ++i) {
        if (lines_[i].bytes == "END") break; // the end of the header block
        if (lines_[i].bytes.starts_with("FREEOID=")) return i;
    }
    return std::nullopt;
}

ObjectNumber AsfDocument::FreeOid() const {
    std::optional<std::size_t> line = FreeOidLine();
    return line ? WordNumber(std::string_view(lines_[*line].bytes).substr(8)) : 0;
}

ObjectNumber AsfDocument::HighestNumber() const {
    ObjectNumber highest = 0;
    // Numbers a record refers to count as well, so that a new object never takes up a
    // label or transition left hanging on a number no record carries.
    for (std::size_t i = begin_; i < end_; ++i)
        highest = std::max(
            {highest, lines_[i].number, lines_[i].owner, lines_[i].source, lines_[i].target});
    return highest;
}

void AsfDocument::Edited() {
    std::optional<std::size_t> line = FreeOidLine();
    ObjectNumber highest = HighestNumber();
    if (line && FreeOid() <= highest)
        lines_[*line].bytes = "FREEOID=" + std::to_string(highest + 1);
}

void AsfDocument::SetRecord(std::size_t line, std::string bytes) {
    if (lines_[line].bytes == bytes) return;
    lines_[line] = ReadObjectRecord(std::move(bytes), std::move(lines_[line].end));
    Edited();
}

std::size_t AsfDocument::InsertRecord(std::size_t at, std::string bytes) {
    // The line end of the record before END, or of END; CR LF after a last line without one.
    std::string end = lines_[end_ - (end_ > begin_ ? 1 : 0)].end;
    if (end.empty()) end = lines_[end_].end;
    if (end.empty()) end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  ReadObjectRecord(std::move(bytes), std::move(end)));
    ++end_;
    Edited();
    return at;
}

void AsfDocument::EraseRecord(std::size_t line) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
    --end_;
    Edited();
}

void AsfDocument::Arrange(const std::vector<std::size_t>& lines,
                          const std::vector<std::size_t>& order) {
    std::vector<AsfLine> moved;
    moved.reserve(order.size());
    for (std::size_t from : order) moved.push_back(lines_[from]);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        // Each place keeps its own line end, so the file keeps its line-end pattern.
        std::string end = std::move(lines_[lines[k]].end);
        lines_[lines[k]] = std::move(moved[k]);
        lines_[lines[k]].end = std::move(end);
    }
    if (order != lines) Edited();
}

std::string AsfTextShown(std::string_view stored) {
    std::string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 'n') {
            out.push_back('\n');
            ++i;
        } else {
            out.push_back(stored[i]);
        }
    }
    return out;
}

std::string AsfTextStored(std::string_view shown) {
    std::string out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r' || shown[i] == '\n') {
            if (shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') ++i;
            out.append("\\n");
        } else {
            out.push_back(shown[i]);
        }
    }
    return out;
}

} // namespace kestrel
