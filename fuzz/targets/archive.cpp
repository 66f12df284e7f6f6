// Fuzz target: the library archive reader. The input is a .tlib file. It is listed,
// each of its first entries is extracted into a scratch file, and the whole library is
// imported into a scratch project (ExtractLibrary). Besides not crashing or hanging:
// - a refusal names the library file and leaves no entry list behind;
// - the entries listed cover the file exactly, and each extraction gives the content
//   that lies at its place in the file (the first entry of a name, letter case ignored);
// - an import adds at most what the tables hold, writes only inside Temp, always
//   removes its two working files, and refuses with a reason naming the library (or the
//   file in Temp it could not write);
// - listing twice gives the same entries.
#include "library/Archive.h"
#include "FuzzSupport.h"
#include "library/LibraryImport.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace kestrel;

namespace {

constexpr std::size_t kMaxExtracted = 32;

void CheckImport(const std::string& library) {
    const std::string folder = kestrel::fuzz::FreshFolder("archive/P");
    kestrel::fuzz::FreshFolder("archive/P/Temp");
    auto functions = std::make_unique<TlmFunctionTable>();
    auto signals = std::make_unique<RtlSignalTable>();
    functions->count = 24; // room for one more function,
    signals->count = 20;   // and for five more signals
    LibraryImportResult result = ExtractLibrary(folder, library, *functions, *signals);
    if (result.ok()) {
        FUZZ_CHECK(functions->count == 24 + result.functionsAdded, "functions added");
        FUZZ_CHECK(signals->count == 20 + result.signalsAdded, "signals added");
    } else {
        // The reason names the library, or the file of Temp that could not be written (an
        // entry name may be too long for this system once its characters are UTF-8).
        FUZZ_CHECK(result.reason.find(library) != std::string::npos ||
                       result.reason.find(TempPath(folder, "")) != std::string::npos,
                   result.reason);
        FUZZ_CHECK(functions->count == 24 && signals->count == 20, "a refusal changed a table");
    }
    FUZZ_CHECK(functions->count <= kMaxFunctions && signals->count <= kMaxSignals, "capacity");
    FUZZ_CHECK(!FileExists(TempPath(folder, kLibraryFunctionFile)), "working file left");
    FUZZ_CHECK(!FileExists(TempPath(folder, kLibrarySignalFile)), "working file left");
    for (const auto& item : std::filesystem::directory_iterator(folder))
        FUZZ_CHECK(item.path().filename() == "Temp",
                   "the import wrote outside Temp: " + item.path().string());
    // Temp holds plain files only, and none of them a working file of an atomic write, unless
    // the library itself has an entry of that name.
    std::set<std::string> entryFiles;
    std::vector<ArchiveEntry> entries;
    if (ListArchiveEntries(library, entries))
        for (const ArchiveEntry& e : entries)
            entryFiles.insert(NativePath(TempPath(folder, e.name)).filename().string());
    for (const auto& item : std::filesystem::directory_iterator(TempPath(folder, ""))) {
        const std::string name = item.path().filename().string();
        FUZZ_CHECK(item.is_regular_file() && (name.find(".kestrel-tmp-") == std::string::npos ||
                                              entryFiles.count(name) != 0),
                   "not a plain extracted file in Temp: " + item.path().string());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string folder = kestrel::fuzz::FreshFolder("archive/files");
    const std::string library = JoinPath(folder, {"lib.tlib"});
    kestrel::fuzz::WriteScratchFile(library, input);

    std::vector<ArchiveEntry> entries;
    std::string error;
    if (!ListArchiveEntries(library, entries, &error)) {
        FUZZ_CHECK(entries.empty(), "a refused list keeps entries");
        FUZZ_CHECK(error.find(library) != std::string::npos, error);
    } else {
        std::vector<ArchiveEntry> again;
        FUZZ_CHECK(ListArchiveEntries(library, again) && again.size() == entries.size(),
                   "a second list differs");
        std::set<std::string> extracted;
        std::uint64_t offset = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const ArchiveEntry& e = entries[i];
            FUZZ_CHECK(again[i].name == e.name && again[i].size == e.size, "a second list differs");
            offset += e.name.size() + 1 + std::to_string(e.size).size() + 1;
            FUZZ_CHECK(offset + e.size <= input.size(), "an entry beyond the end");
            std::string lower = AsciiLower(e.name);
            if (extracted.size() < kMaxExtracted && extracted.insert(lower).second) {
                const std::string out = JoinPath(folder, {"out"});
                std::string why;
                FUZZ_CHECK(ExtractFromArchive(library, e.name, out, &why), why);
                FUZZ_CHECK(kestrel::fuzz::ReadScratchFile(out) == input.substr(offset, e.size),
                           "extracted content is not the entry's: " + e.name);
            }
            offset += e.size;
        }
        FUZZ_CHECK(offset == input.size(), "the entries do not cover the file");
    }
    FUZZ_CHECK(!ExtractFromArchive(library, std::string(300, 'x'), JoinPath(folder, {"none"})),
               "an entry that cannot exist was extracted");
    FUZZ_CHECK(!FileExists(JoinPath(folder, {"none"})), "a failed extraction left a file");

    CheckImport(library);
    return 0;
}
