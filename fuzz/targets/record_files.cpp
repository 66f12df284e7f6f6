// Fuzz target: the one-record files. The input is stored as the project file (.tp),
// option.dat, gen.dat, asml.dat and asf.dat of a scratch project and read by each reader.
// Besides not crashing: a failure names the file; reading twice gives the same record;
// a record read whole is written back as the same bytes; and what is saved reads back
// as the record that was saved.
#include "FuzzSupport.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace kestrel;
using kestrel::fuzz::FreshFolder;
using kestrel::fuzz::WriteScratchFile;

namespace {

// Reads a record with `load` twice (the second time into a fresh record) and checks the
// promises above; `encode` gives the bytes the record is saved as, `save` saves it into
// another folder.
template <typename Record, typename Load, typename Encode, typename Save>
void CheckReader(std::string_view input, const std::string& folder, const std::string& path,
                 const std::string& copyFolder, Load load, Encode encode, Save save) {
    Record first;
    Status read = load(folder, first);
    if (!read.ok()) {
        FUZZ_CHECK(read.message().find(path) != std::string::npos, read.message());
        return;
    }
    Record second;
    FUZZ_CHECK(load(folder, second).ok(), path);
    FUZZ_CHECK(first == second, "a second read gives another record: " + path);

    std::string bytes = encode(first);
    if (bytes.size() <= input.size())
        FUZZ_CHECK(input.substr(0, bytes.size()) == bytes,
                   "a record read whole is not written back byte for byte: " + path);

    FUZZ_CHECK(save(copyFolder, first).ok(), path);
    Record again;
    FUZZ_CHECK(load(copyFolder, again).ok(), path);
    FUZZ_CHECK(again == first, "a saved record reads back as another: " + path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string folder = FreshFolder("records/P");
    const std::string copy = FreshFolder("records/Copy");
    FreshFolder("records/P/Input");
    FreshFolder("records/Copy/Input");

    const std::string tp = JoinPath(folder, {"P.tp"});
    WriteScratchFile(tp, input);
    for (std::string_view file :
         {kOptionFile, kGenerationFile, kAsmlAssignmentFile, kAsfAssignmentFile})
        WriteScratchFile(InputPath(folder, file), input);

    // The project file: its record names its own folder, so the saved copy is placed by
    // name and folder of the copy.
    ProjectRecord record;
    Status read = ReadProjectFile(tp, record);
    if (!read.ok()) {
        FUZZ_CHECK(read.message().find(tp) != std::string::npos, read.message());
    } else {
        ProjectRecord again;
        FUZZ_CHECK(ReadProjectFile(tp, again).ok() && again == record, tp);
        std::string bytes = EncodeProjectRecord(record);
        FUZZ_CHECK(input.substr(0, bytes.size()) == bytes, "the project record is not " + tp);
        ProjectRecord moved = record;
        moved.projectFolder = copy;
        moved.projectName = "Copy";
        FUZZ_CHECK(SaveProjectFile(moved).ok(), tp);
        ProjectRecord back;
        FUZZ_CHECK(ReadProjectFile(JoinPath(copy, {"Copy.tp"}), back).ok() && back == moved, tp);
    }

    CheckReader<ProjectOptions>(input, folder, InputPath(folder, kOptionFile), copy, LoadOptions,
                                EncodeProjectOptions, SaveOptions);
    CheckReader<GenerationSettings>(input, folder, InputPath(folder, kGenerationFile), copy,
                                    LoadGenerationSettings, EncodeGenerationSettings,
                                    SaveGenerationSettings);
    CheckReader<AsmlAssignment>(input, folder, InputPath(folder, kAsmlAssignmentFile), copy,
                                LoadAsmlAssignment, EncodeAsmlAssignment, SaveAsmlAssignment);
    CheckReader<AsfAssignment>(input, folder, InputPath(folder, kAsfAssignmentFile), copy,
                               LoadAsfAssignment, EncodeAsfAssignment, SaveAsfAssignment);
    return 0;
}
