#pragma once
// The transactor library container: a plain concatenation of named entries, each
//   name bytes, 0x00, size as decimal digits, 0x00, size bytes of content,
// with no header, index or trailer. Names are compared in ASCII lower case and the
// first entry of a name wins.
//
// Every operation returns true on success. On failure it returns false and, when
// `error` is given, stores a message naming the file and what is wrong with it.
// Paths are stored (Windows-1252) paths.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Contents move in pieces of this many bytes, so memory use does not grow with the file.
inline constexpr std::size_t kArchivePieceSize = 1'000'000;
// A name or a size text must end with its zero byte within a window of this many bytes.
inline constexpr std::size_t kArchiveWindowSize = 256;
inline constexpr std::size_t kArchiveMaxNameLength = kArchiveWindowSize - 1;

// Appends the file's bytes under the entry name at the end of the archive, creating the
// archive when it does not exist. A missing file is created empty and packed as an empty
// entry. A failed append leaves the archive as it was before.
bool AddFileToArchive(std::string_view archivePath, std::string_view filePath,
                      std::string_view entryName, std::string* error = nullptr);

// One entry as the walk finds it.
struct ArchiveEntry {
    std::string name;
    std::uint64_t size = 0; // content bytes
};

// Fills `entries` with the names and content sizes in file order; every size is checked to
// lie inside the file. Fails on an empty or damaged archive (entries is then empty).
bool ListArchiveEntries(std::string_view archivePath, std::vector<ArchiveEntry>& entries,
                        std::string* error = nullptr);

// Fills `names` with the entry names in file order. Fails on an empty or damaged archive
// (names is then empty).
bool ListArchive(std::string_view archivePath, std::vector<std::string>& names,
                 std::string* error = nullptr);

// Writes the content of the first entry whose name equals entryName (ASCII case ignored)
// to outputPath, replacing that file atomically. Fails when no entry has the name.
bool ExtractFromArchive(std::string_view archivePath, std::string_view entryName,
                        std::string_view outputPath, std::string* error = nullptr);

} // namespace kestrel
