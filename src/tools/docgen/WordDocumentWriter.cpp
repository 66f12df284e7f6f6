// Builds the document in memory: the package parts ([Content_Types].xml, the
// relationships, core and app properties, styles and the main document) are XML made
// with pugixml and zipped with libzip into a memory buffer. Text runs keep their blanks
// (xml:space="preserve"); a tab becomes <w:tab/>; characters XML cannot carry are left
// out. Entries get a fixed time stamp so the same template gives the same bytes.
#include "WordDocumentWriter.h"

#include <pugixml.hpp>
#include <zip.h>

#include <ctime>
#include <memory>
#include <sstream>
#include <vector>

namespace kestrel {

namespace {

constexpr const char* kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kOfficeRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

pugi::xml_node NewDocument(pugi::xml_document& doc, const char* rootName) {
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    return doc.append_child(rootName);
}

std::string Serialize(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

// Leaves out the C0 controls XML 1.0 cannot hold (tab, line feed and carriage return
// excepted; the callers split at those).
std::string XmlSafe(std::string_view text) {
    std::string out;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out.push_back(c);
    return out;
}

std::string ContentTypes() {
    pugi::xml_document doc;
    pugi::xml_node types = NewDocument(doc, "Types");
    types.append_attribute("xmlns") =
        "http://schemas.openxmlformats.org/package/2006/content-types";
    auto byDefault = [&](const char* extension, const char* type) {
        pugi::xml_node d = types.append_child("Default");
        d.append_attribute("Extension") = extension;
        d.append_attribute("ContentType") = type;
    };
    auto byPart = [&](const char* part, const char* type) {
        pugi::xml_node o = types.append_child("Override");
        o.append_attribute("PartName") = part;
        o.append_attribute("ContentType") = type;
    };
    byDefault("rels", "application/vnd.openxmlformats-package.relationships+xml");
    byDefault("xml", "application/xml");
    byPart("/word/document.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    byPart("/word/styles.xml",
           "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    byPart("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
    byPart("/docProps/app.xml",
           "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    return Serialize(doc);
}

std::string Relationships(const std::vector<std::pair<std::string, std::string>>& typeAndTarget) {
    pugi::xml_document doc;
    pugi::xml_node root = NewDocument(doc, "Relationships");
    root.append_attribute("xmlns") = kRelationships;
    int id = 0;
    for (const auto& [type, target] : typeAndTarget) {
        pugi::xml_node r = root.append_child("Relationship");
        r.append_attribute("Id") = ("rId" + std::to_string(++id)).c_str();
        r.append_attribute("Type") = type.c_str();
        r.append_attribute("Target") = target.c_str();
    }
    return Serialize(doc);
}

std::string CoreProperties(const TemplateContent& content) {
    pugi::xml_document doc;
    pugi::xml_node root = NewDocument(doc, "cp:coreProperties");
    root.append_attribute("xmlns:cp") =
        "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
    root.append_attribute("xmlns:dc") = "http://purl.org/dc/elements/1.1/";
    root.append_attribute("xmlns:dcterms") = "http://purl.org/dc/terms/";
    root.append_attribute("xmlns:dcmitype") = "http://purl.org/dc/dcmitype/";
    root.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    root.append_child("dc:title").text() = XmlSafe(content.title).c_str();
    root.append_child("dc:creator").text() = XmlSafe(content.author).c_str();
    return Serialize(doc);
}

std::string AppProperties() {
    pugi::xml_document doc;
    pugi::xml_node root = NewDocument(doc, "Properties");
    root.append_attribute("xmlns") =
        "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
    root.append_child("Application").text() = "Kestrel";
    return Serialize(doc);
}

pugi::xml_node AddStyle(pugi::xml_node styles, const char* id, const char* name, bool custom) {
    pugi::xml_node style = styles.append_child("w:style");
    style.append_attribute("w:type") = "paragraph";
    if (custom) style.append_attribute("w:customStyle") = "1";
    style.append_attribute("w:styleId") = id;
    style.append_child("w:name").append_attribute("w:val") = name;
    return style;
}

void AddValue(pugi::xml_node parent, const char* element, const char* value) {
    parent.append_child(element).append_attribute("w:val") = value;
}

void SetFont(pugi::xml_node runProperties, const char* font) {
    pugi::xml_node fonts = runProperties.append_child("w:rFonts");
    for (const char* slot : {"w:ascii", "w:hAnsi", "w:cs", "w:eastAsia"})
        fonts.append_attribute(slot) = font;
}

std::string Styles() {
    pugi::xml_document doc;
    pugi::xml_node styles = NewDocument(doc, "w:styles");
    styles.append_attribute("xmlns:w") = kW;

    pugi::xml_node defaults = styles.append_child("w:docDefaults");
    pugi::xml_node runDefaults = defaults.append_child("w:rPrDefault").append_child("w:rPr");
    SetFont(runDefaults, "Liberation Serif");
    AddValue(runDefaults, "w:sz", "24");
    AddValue(runDefaults, "w:lang", "en-US");
    pugi::xml_node spacing =
        defaults.append_child("w:pPrDefault").append_child("w:pPr").append_child("w:spacing");
    spacing.append_attribute("w:after") = "0";
    spacing.append_attribute("w:line") = "240";
    spacing.append_attribute("w:lineRule") = "auto";

    pugi::xml_node normal = AddStyle(styles, "Normal", "Normal", false);
    normal.insert_attribute_before("w:default", normal.attribute("w:styleId")) = "1";
    normal.append_child("w:qFormat");

    pugi::xml_node title = AddStyle(styles, "Title", "Title", false);
    AddValue(title, "w:basedOn", "Normal");
    AddValue(title, "w:next", "Normal");
    title.append_child("w:qFormat");
    pugi::xml_node titleParagraph = title.append_child("w:pPr");
    titleParagraph.append_child("w:spacing").append_attribute("w:after") = "240";
    AddValue(titleParagraph, "w:jc", "center");
    pugi::xml_node titleRun = title.append_child("w:rPr");
    titleRun.append_child("w:b");
    AddValue(titleRun, "w:sz", "36");

    pugi::xml_node heading = AddStyle(styles, "Heading1", "heading 1", false);
    AddValue(heading, "w:basedOn", "Normal");
    AddValue(heading, "w:next", kAsmlStyleId);
    heading.append_child("w:qFormat");
    pugi::xml_node headingParagraph = heading.append_child("w:pPr");
    headingParagraph.append_child("w:keepNext");
    pugi::xml_node headingSpacing = headingParagraph.append_child("w:spacing");
    headingSpacing.append_attribute("w:before") = "240";
    headingSpacing.append_attribute("w:after") = "120";
    AddValue(headingParagraph, "w:outlineLvl", "0");
    pugi::xml_node headingRun = heading.append_child("w:rPr");
    SetFont(headingRun, "Liberation Sans");
    headingRun.append_child("w:b");
    AddValue(headingRun, "w:sz", "28");

    // Pressing Enter in an AsmL line gives another AsmL line.
    pugi::xml_node asml = AddStyle(styles, kAsmlStyleId, kAsmlStyleId, true);
    AddValue(asml, "w:basedOn", "Normal");
    AddValue(asml, "w:next", kAsmlStyleId);
    asml.append_child("w:qFormat");
    pugi::xml_node asmlRun = asml.append_child("w:rPr");
    SetFont(asmlRun, "Courier New");
    asmlRun.append_child("w:noProof");
    AddValue(asmlRun, "w:sz", "20");
    return Serialize(doc);
}

void AddParagraph(pugi::xml_node body, const char* styleId, std::string_view text) {
    pugi::xml_node paragraph = body.append_child("w:p");
    AddValue(paragraph.append_child("w:pPr"), "w:pStyle", styleId);
    const std::string safe = XmlSafe(text);
    if (safe.empty()) return;
    pugi::xml_node run = paragraph.append_child("w:r");
    std::size_t start = 0;
    while (start <= safe.size()) {
        std::size_t tab = safe.find('\t', start);
        std::string piece =
            safe.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (!piece.empty()) {
            pugi::xml_node t = run.append_child("w:t");
            t.append_attribute("xml:space") = "preserve";
            t.text() = piece.c_str();
        }
        if (tab == std::string::npos) break;
        run.append_child("w:tab");
        start = tab + 1;
    }
}

std::string MainDocument(const TemplateContent& content) {
    pugi::xml_document doc;
    pugi::xml_node document = NewDocument(doc, "w:document");
    document.append_attribute("xmlns:w") = kW;
    pugi::xml_node body = document.append_child("w:body");
    if (!content.title.empty()) AddParagraph(body, "Title", content.title);
    for (const TemplateBlock& block : content.blocks) {
        const char* style = block.kind == TemplateBlock::Kind::Heading ? "Heading1" : kAsmlStyleId;
        for (const std::string& line : block.lines) AddParagraph(body, style, line);
    }
    // A4 with 2 cm margins.
    pugi::xml_node section = body.append_child("w:sectPr");
    pugi::xml_node size = section.append_child("w:pgSz");
    size.append_attribute("w:w") = "11906";
    size.append_attribute("w:h") = "16838";
    pugi::xml_node margins = section.append_child("w:pgMar");
    for (const char* side : {"w:top", "w:right", "w:bottom", "w:left"})
        margins.append_attribute(side) = "1134";
    for (const char* other : {"w:header", "w:footer"}) margins.append_attribute(other) = "709";
    margins.append_attribute("w:gutter") = "0";
    return Serialize(doc);
}

struct ZipSourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

std::string ZipMessage(zip_error_t* error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

using Parts = std::vector<std::pair<std::string, std::string>>;

// The parts, in the order Word writes them.
Parts DocumentParts(const TemplateContent& content) {
    return {
        {"[Content_Types].xml", ContentTypes()},
        {"_rels/.rels",
         Relationships(
             {{std::string(kOfficeRelationships) + "officeDocument", "word/document.xml"},
              {"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
               "core-properties",
               "docProps/core.xml"},
              {std::string(kOfficeRelationships) + "extended-properties", "docProps/app.xml"}})},
        {"docProps/core.xml", CoreProperties(content)},
        {"docProps/app.xml", AppProperties()},
        {"word/_rels/document.xml.rels",
         Relationships({{std::string(kOfficeRelationships) + "styles", "styles.xml"}})},
        {"word/styles.xml", Styles()},
        {"word/document.xml", MainDocument(content)},
    };
}

// 1 January 2000, 12:00 local time.
time_t FixedStamp() {
    std::tm fixed{};
    fixed.tm_year = 100;
    fixed.tm_mday = 1;
    fixed.tm_hour = 12;
    fixed.tm_isdst = -1;
    return std::mktime(&fixed);
}

Status ArchiveError(zip_t* archive) {
    std::string message = zip_strerror(archive);
    zip_discard(archive);
    return Status::Error("cannot make the document: " + message);
}

// Writes the parts as a zip archive into the buffer.
Status ZipParts(const Parts& parts, zip_source_t* buffer) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_keep(buffer); // the archive's close must leave the buffer to us
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        zip_source_free(buffer); // drop the reference given to the archive
        return Status::Error("cannot make the document: " + ZipMessage(&error));
    }
    zip_error_fini(&error);

    const time_t stamp = FixedStamp();
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        zip_int64_t index =
            source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source) zip_source_free(source);
            return ArchiveError(archive);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), stamp, 0);
    }
    if (zip_close(archive) != 0) return ArchiveError(archive);
    return Status::Ok();
}

} // namespace

Status MakeWordDocument(const TemplateContent& content, std::string& bytes) {
    const Parts parts = DocumentParts(content);
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, ZipSourceDeleter> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) return Status::Error("cannot make the document: " + ZipMessage(&error));
    zip_error_fini(&error);
    if (Status s = ZipParts(parts, buffer.get()); !s) return s;

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0)
        return Status::Error("cannot make the document: the zip buffer cannot be read");
    bytes.assign(static_cast<std::size_t>(stat.size), '\0');
    zip_int64_t got = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size)
        return Status::Error("cannot make the document: the zip buffer cannot be read");
    return Status::Ok();
}

} // namespace kestrel
