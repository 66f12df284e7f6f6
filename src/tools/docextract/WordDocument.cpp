// Reads the AsmL paragraphs of an Office Open XML document. The zip is opened in memory
// with libzip (consistency checked, every part read with a size limit); the package
// relationships name the main document part and its styles part; pugixml parses both.
// A paragraph belongs to the AsmL text when its style id is "AsmL" or its style's name
// is "AsmL" (letter case aside), so a document re-saved under another style id still
// reads. Block containers (tables, content controls, inserted text) are walked in
// document order; only elements of the WordprocessingML namespace are looked at.
#include "WordDocument.h"

#include "platform/Text.h"

#include <pugixml.hpp>
#include <zip.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace kestrel {

namespace {

constexpr std::size_t kMaxPartSize = 64u << 20; // a main document part larger is refused
constexpr std::string_view kAsmlStyle = "asml"; // compared in lower case
// Deeper element nesting than any word processor writes is refused rather than walked.
constexpr int kMaxNesting = 200;

constexpr std::string_view kWordNamespaces[] = {
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
    "http://purl.oclc.org/ooxml/wordprocessingml/main"};
constexpr std::string_view kOfficeDocumentTypes[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument"};
constexpr std::string_view kStylesTypes[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/styles"};

template <std::size_t N> bool OneOf(std::string_view value, const std::string_view (&choices)[N]) {
    for (std::string_view c : choices)
        if (value == c) return true;
    return false;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

std::string ZipErrorText(zip_error_t* error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

// The bytes of one part, or nothing when the archive has no such part. A part that cannot
// be read (a damaged entry, a failed checksum) or that is too large sets `error`.
std::optional<std::string> ReadPart(zip_t* archive, const std::string& name, std::string& error) {
    zip_int64_t index = zip_name_locate(archive, name.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0) return std::nullopt;
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        error = "the part " + name + " cannot be read (" + zip_strerror(archive) + ")";
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            error = "the part " + name + " is damaged (" + zip_file_strerror(file.get()) + ")";
            return std::nullopt;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxPartSize) {
            error = "the part " + name + " is larger than " + std::to_string(kMaxPartSize >> 20) +
                    " MiB";
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

// A part name from a relationship target: relative to the folder of the part the
// relationships belong to, or absolute from the package root.
std::string ResolveTarget(std::string_view sourceFolder, std::string_view target) {
    std::string path = target.starts_with('/') ? std::string(target.substr(1))
                                               : std::string(sourceFolder) + std::string(target);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        std::string piece =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& p : parts) resolved += (resolved.empty() ? "" : "/") + p;
    return resolved;
}

// The target of the first relationship of one of `types` in a relationships part.
std::optional<std::string> RelationshipTarget(const std::string& relsXml,
                                              bool (*isType)(std::string_view)) {
    pugi::xml_document doc;
    if (!doc.load_buffer(relsXml.data(), relsXml.size())) return std::nullopt;
    for (const pugi::xml_node& r : doc.document_element().children()) {
        std::string_view name = r.name();
        std::size_t colon = name.find(':');
        if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
        if (name == "Relationship" && isType(r.attribute("Type").value()) &&
            std::string_view(r.attribute("TargetMode").value()) != "External")
            return std::string(r.attribute("Target").value());
    }
    return std::nullopt;
}

bool IsOfficeDocumentType(std::string_view type) {
    return OneOf(type, kOfficeDocumentTypes);
}
bool IsStylesType(std::string_view type) {
    return OneOf(type, kStylesTypes);
}

std::string Lower(std::string_view text) {
    return AsciiLower(text);
}

// Element names of the WordprocessingML namespace, whatever prefix the document binds it to.
class WordNames {
public:
    explicit WordNames(const pugi::xml_node& root) {
        for (const pugi::xml_attribute& a : root.attributes()) {
            std::string_view name = a.name();
            if (!OneOf(std::string_view(a.value()), kWordNamespaces)) continue;
            if (name == "xmlns")
                prefixes_.insert("");
            else if (name.starts_with("xmlns:"))
                prefixes_.insert(std::string(name.substr(6)) + ":");
        }
    }
    bool empty() const { return prefixes_.empty(); }
    // The local name of an element of the namespace; empty for any other element.
    std::string_view Local(const pugi::xml_node& node) const {
        std::string_view name = node.name();
        std::size_t colon = name.find(':');
        std::string prefix(colon == std::string_view::npos ? std::string_view()
                                                           : name.substr(0, colon + 1));
        if (!prefixes_.count(prefix)) return {};
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }
    // An attribute of the namespace (w:val), by local name.
    std::string_view Attribute(const pugi::xml_node& node, std::string_view local) const {
        for (const pugi::xml_attribute& a : node.attributes()) {
            std::string_view name = a.name();
            std::size_t colon = name.find(':');
            std::string prefix(colon == std::string_view::npos ? std::string_view()
                                                               : name.substr(0, colon + 1));
            std::string_view rest = colon == std::string_view::npos ? name : name.substr(colon + 1);
            if (rest == local && prefixes_.count(prefix)) return a.value();
        }
        return {};
    }
    pugi::xml_node Child(const pugi::xml_node& node, std::string_view local) const {
        for (const pugi::xml_node& c : node.children())
            if (Local(c) == local) return c;
        return {};
    }

private:
    std::set<std::string> prefixes_;
};

// The ids of the paragraph styles that are the AsmL style.
std::set<std::string> AsmlStyleIds(const std::optional<std::string>& stylesXml) {
    std::set<std::string> ids{std::string("AsmL")};
    if (!stylesXml) return ids;
    pugi::xml_document doc;
    if (!doc.load_buffer(stylesXml->data(), stylesXml->size())) return ids;
    WordNames w(doc.document_element());
    for (const pugi::xml_node& style : doc.document_element().children()) {
        if (w.Local(style) != "style") continue;
        std::string id(w.Attribute(style, "styleId"));
        std::string name(w.Attribute(w.Child(style, "name"), "val"));
        if (Lower(name) == kAsmlStyle || Lower(id) == kAsmlStyle) ids.insert(id);
    }
    return ids;
}

// Collects the lines of the AsmL paragraphs of a main document.
class AsmlCollector {
public:
    AsmlCollector(const WordNames& w, std::set<std::string> styleIds)
        : w_(w), styleIds_(std::move(styleIds)) {}

    void Blocks(const pugi::xml_node& container, int depth = 0) {
        if (TooDeep(depth)) return;
        for (const pugi::xml_node& child : container.children()) {
            std::string_view name = w_.Local(child);
            if (name == "p")
                Paragraph(child);
            else if (name == "body" || name == "tbl" || name == "tr" || name == "tc" ||
                     name == "sdt" || name == "sdtContent" || name == "customXml" ||
                     name == "ins" || name == "moveTo" || name == "smartTag")
                Blocks(child, depth + 1);
        }
    }

    int paragraphs() const { return paragraphs_; }
    bool tooDeep() const { return tooDeep_; }
    std::string take() { return std::move(text_); }

private:
    bool TooDeep(int depth) {
        if (depth > kMaxNesting) tooDeep_ = true;
        return tooDeep_;
    }

    void Paragraph(const pugi::xml_node& paragraph) {
        pugi::xml_node style = w_.Child(w_.Child(paragraph, "pPr"), "pStyle");
        if (!styleIds_.count(std::string(w_.Attribute(style, "val")))) return;
        ++paragraphs_;
        std::string line;
        Inline(paragraph, line, 0);
        EndLine(line);
    }

    void Inline(const pugi::xml_node& node, std::string& line, int depth) {
        if (TooDeep(depth)) return;
        for (const pugi::xml_node& child : node.children()) {
            std::string_view name = w_.Local(child);
            if (name.empty()) continue; // other namespaces: drawings, alternate content
            if (name == "t") {
                line += child.text().get();
            } else if (name == "tab") {
                line += '\t';
            } else if (name == "br" || name == "cr") {
                EndLine(line);
            } else if (name == "noBreakHyphen") {
                line += '-';
            } else if (name == "pPr" || name == "rPr" || name == "del" || name == "moveFrom" ||
                       name == "delText" || name == "instrText" || name == "p" ||
                       name == "txbxContent" || name == "drawing" || name == "pict" ||
                       name == "object" || name == "fldData") {
                continue;
            } else {
                Inline(child, line,
                       depth + 1); // runs, hyperlinks, inserted text, simple fields, ...
            }
        }
    }

    void EndLine(std::string& line) {
        text_ += Utf8ToCp1252Lossy(Plain(line));
        text_ += "\r\n";
        line.clear();
    }

    // Curly quotes and non-breaking spaces as AsmL reads them.
    static std::string Plain(const std::string& utf8) {
        static const std::pair<std::string_view, std::string_view> kReplacements[] = {
            {"\xC2\xA0", " "},     {"\xE2\x80\x9C", "\""}, {"\xE2\x80\x9D", "\""},
            {"\xE2\x80\x98", "'"}, {"\xE2\x80\x99", "'"},  {"\xE2\x80\xAF", " "},
        };
        std::string out;
        for (std::size_t i = 0; i < utf8.size();) {
            bool replaced = false;
            for (const auto& [from, to] : kReplacements) {
                if (std::string_view(utf8).substr(i, from.size()) == from) {
                    out += to;
                    i += from.size();
                    replaced = true;
                    break;
                }
            }
            if (!replaced) out += utf8[i++];
        }
        return out;
    }

    const WordNames& w_;
    const std::set<std::string> styleIds_;
    std::string text_;
    int paragraphs_ = 0;
    bool tooDeep_ = false;
};

DocumentText Refuse(std::string reason) {
    return {{}, std::move(reason)};
}

} // namespace

bool LooksLikeZip(std::string_view bytes) {
    return bytes.starts_with(std::string_view("PK\x03\x04", 4)) ||
           bytes.starts_with(std::string_view("PK\x05\x06", 4));
}

DocumentText WordDocumentText(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) return Refuse("the document cannot be opened: " + ZipErrorText(&error));
    Archive archive(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(source);
        return Refuse("the document is a damaged zip archive (" + ZipErrorText(&error) + ")");
    }
    zip_error_fini(&error);

    std::string partError;
    std::string mainPart = "word/document.xml";
    if (auto rels = ReadPart(archive.get(), "_rels/.rels", partError))
        if (auto target = RelationshipTarget(*rels, IsOfficeDocumentType))
            mainPart = ResolveTarget("", *target);
    if (!partError.empty()) return Refuse("the document is damaged: " + partError);

    std::optional<std::string> main = ReadPart(archive.get(), mainPart, partError);
    if (!partError.empty()) return Refuse("the document is damaged: " + partError);
    if (!main)
        return Refuse("the zip archive holds no word-processing document (no part " + mainPart +
                      ")");

    const std::size_t slash = mainPart.rfind('/');
    const std::string mainFolder = slash == std::string::npos ? "" : mainPart.substr(0, slash + 1);
    std::string stylesPart = mainFolder + "styles.xml";
    if (auto rels = ReadPart(
            archive.get(), mainFolder + "_rels/" + mainPart.substr(slash + 1) + ".rels", partError))
        if (auto target = RelationshipTarget(*rels, IsStylesType))
            stylesPart = ResolveTarget(mainFolder, *target);
    std::optional<std::string> styles;
    if (partError.empty()) styles = ReadPart(archive.get(), stylesPart, partError);
    if (!partError.empty()) return Refuse("the document is damaged: " + partError);

    pugi::xml_document doc;
    pugi::xml_parse_result parsed =
        doc.load_buffer(main->data(), main->size(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed)
        return Refuse("the document's text (" + mainPart + ") is not well-formed XML (" +
                      parsed.description() + ")");
    pugi::xml_node root = doc.document_element();
    WordNames w(root);
    if (w.empty() || w.Local(root) != "document")
        return Refuse("the part " + mainPart + " is not a word-processing document");

    AsmlCollector collector(w, AsmlStyleIds(styles));
    collector.Blocks(w.Child(root, "body"));
    if (collector.tooDeep())
        return Refuse("the document's text (" + mainPart + ") is nested more than " +
                      std::to_string(kMaxNesting) + " elements deep");
    if (collector.paragraphs() == 0)
        return Refuse("the document holds no paragraph in the paragraph style AsmL");
    return {collector.take(), {}};
}

} // namespace kestrel
