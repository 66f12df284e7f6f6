// The project's RTL in rtl.json: files inside the project folder kept relative to it (a moved
// project keeps them), others in full; damaged files named; an empty choice forgets.
#include "sim/RtlChoice.h"

#include "TestSupport.h"

#include <filesystem>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

TEST(RtlChoice, FilesStoredRelativeInsideTheProjectFolderAndInFullOutside) {
    test::TempDir dir;
    const std::string project = dir / "proj";
    fs::create_directories(project + "/rtl");
    struct Case {
        std::string file;   // as chosen
        std::string stored; // as rtl.json keeps it
    };
    const Case cases[] = {
        {project + "/rtl/memory.v", "rtl/memory.v"},    {project + "/top.sv", "top.sv"},
        {project + "/rtl/../rtl/./bus.v", "rtl/bus.v"}, {dir / "ip/fifo.v", dir / "ip/fifo.v"},
        {dir / "proj2/x.v", dir / "proj2/x.v"}, // a sibling whose name starts like the project's
    };
    RtlChoice choice{{}, "memory"};
    for (const Case& c : cases) {
        EXPECT_EQ(RtlStoredName(project, c.file), c.stored) << c.file;
        choice.files.push_back(c.file);
    }
    ASSERT_TRUE(SaveRtlChoice(project, choice).ok());
    const std::string bytes = test::ReadBytes(project + "/rtl.json");
    EXPECT_NE(bytes.find("\"rtl/memory.v\""), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\"top\": \"memory\""), std::string::npos) << bytes;

    // The project moved: its own files move with it, the outside ones stay where they were.
    const std::string moved = dir / "moved";
    fs::rename(project, moved);
    std::optional<RtlChoice> loaded;
    ASSERT_TRUE(LoadRtlChoice(moved, loaded).ok());
    ASSERT_TRUE(loaded);
    const RtlChoice expected{{moved + "/rtl/memory.v", moved + "/top.sv", moved + "/rtl/bus.v",
                              dir / "ip/fifo.v", dir / "proj2/x.v"},
                             "memory"};
    EXPECT_EQ(*loaded, expected);
    EXPECT_EQ(
        RtlChoiceLine(*loaded),
        "rtl: using the project's Verilog: memory.v, top.sv, bus.v, fifo.v, x.v (top memory)");

    // No files: the project forgets its RTL, and a project without rtl.json has none.
    ASSERT_TRUE(SaveRtlChoice(moved, RtlChoice{}).ok());
    EXPECT_FALSE(fs::exists(moved + "/rtl.json"));
    ASSERT_TRUE(LoadRtlChoice(moved, loaded).ok());
    EXPECT_FALSE(loaded);
}

TEST(RtlChoice, DamagedFilesAreNamed) {
    test::TempDir dir;
    const std::string file = dir / "rtl.json";
    const std::pair<std::string, std::string> cases[] = {
        {"[\"a.v\"]", "it is not a JSON object"},
        {"{\"top\": \"t\"}", "\"files\" is missing or not a list"},
        {"{\"files\": \"a.v\"}", "\"files\" is missing or not a list"},
        {"{\"files\": [\"a.v\", 3]}", "\"files\" holds an entry that is not a file name"},
        {"{\"files\": [\" \"]}", "\"files\" holds an entry that is not a file name"},
        {"{\"files\": [\"a.v\"], \"top\": []}", "\"top\" is not a text"},
    };
    std::optional<RtlChoice> loaded;
    for (const auto& [bytes, why] : cases) {
        test::WriteBytes(file, bytes);
        EXPECT_EQ(LoadRtlChoice(dir.str(), loaded).message(), "\"" + file + "\" is damaged: " + why)
            << bytes;
        EXPECT_FALSE(loaded);
    }
}

} // namespace
} // namespace kestrel
