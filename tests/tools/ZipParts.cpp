// Builds and reads zip archives in memory for the document tests.
#include "ZipParts.h"

#include <zip.h>

#include <stdexcept>
#include <vector>

namespace kestrel::test {

std::string ZipOf(const Parts& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot make a zip");
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    }
    if (zip_close(archive) != 0) throw std::runtime_error("cannot close a zip");
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_source_stat(buffer, &stat);
    std::string bytes(stat.size, '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

Parts PartsOf(std::string_view zip) {
    Parts parts;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(zip.data(), zip.size(), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        zip_source_free(source);
        return parts;
    }
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string data(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        parts[stat.name] = data;
    }
    zip_discard(archive);
    return parts;
}

std::string WordPackage(std::string_view body,
                        std::initializer_list<std::pair<std::string, std::string>> styles) {
    const std::string w =
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    std::string styleXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:styles " + w + ">";
    for (const auto& [id, name] : styles)
        styleXml += "<w:style w:type=\"paragraph\" w:styleId=\"" + id + "\"><w:name w:val=\"" +
                    name + "\"/></w:style>";
    styleXml += "</w:styles>";
    Parts parts;
    parts["[Content_Types].xml"] =
        "<?xml version=\"1.0\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    parts["_rels/.rels"] =
        "<?xml version=\"1.0\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
        "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    parts["word/styles.xml"] = styleXml;
    parts["word/document.xml"] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document " + w +
                                 "><w:body>" + std::string(body) + "</w:body></w:document>";
    return ZipOf(parts);
}

} // namespace kestrel::test
