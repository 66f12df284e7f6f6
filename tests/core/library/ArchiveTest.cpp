#include "library/Archive.h"

#include "LibraryProjects.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::ReadBytes;
using test::SameBytes;
using test::TempDir;
using test::WriteBytes;

// Bytes that differ from piece to piece and from byte to byte, so a piece copied twice,
// skipped or shifted shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 1000) % 251);
    return bytes;
}

// Archive bytes written with '|' for each zero byte.
std::string Z(std::string_view text) {
    std::string bytes(text);
    std::replace(bytes.begin(), bytes.end(), '|', '\0');
    return bytes;
}

std::vector<std::string> FolderNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Archive, AddWritesNameZeroSizeZeroContent) {
    TempDir dir;
    std::string archive = dir / "lib.tlib";
    WriteBytes(dir / "empty.dat", "");
    WriteBytes(dir / "f.dec", "int a;\r\n");

    std::string error;
    ASSERT_TRUE(AddFileToArchive(archive, dir / "empty.dat", "lib_tlm_func.dat", &error)) << error;
    EXPECT_TRUE(SameBytes(Z("lib_tlm_func.dat|0|"), ReadBytes(archive)));

    ASSERT_TRUE(AddFileToArchive(archive, dir / "f.dec", "F.dec", &error)) << error;
    // A missing source file is created empty and packed as an empty entry.
    ASSERT_TRUE(AddFileToArchive(archive, dir / "gone.upd", "gone.upd", &error)) << error;
    EXPECT_TRUE(fs::exists(dir / "gone.upd"));
    EXPECT_EQ(fs::file_size(dir / "gone.upd"), 0u);

    EXPECT_TRUE(
        SameBytes(Z("lib_tlm_func.dat|0|F.dec|8|int a;\r\ngone.upd|0|"), ReadBytes(archive)));

    std::vector<std::string> names;
    ASSERT_TRUE(ListArchive(archive, names, &error)) << error;
    EXPECT_EQ(names, (std::vector<std::string>{"lib_tlm_func.dat", "F.dec", "gone.upd"}));
}

TEST(Archive, ExtractFindsTheFirstNameInAnyLetterCase) {
    TempDir dir;
    std::string archive = dir / "lib.tlib";
    WriteBytes(archive, Z("lib_tlm_func.dat|3|abcGet.dec|0|GET.DEC|2|zz\xC4rger.asm|1|q"));

    std::string error;
    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(ListArchive(archive, names, &error)) << error;
    EXPECT_EQ(names,
              (std::vector<std::string>{"lib_tlm_func.dat", "Get.dec", "GET.DEC", "\xC4rger.asm"}));

    std::string out = dir / "out";
    // The same name twice: the first entry wins, even when it is empty. Windows-1252
    // capitals fold too: \xC4 is the capital of \xE4.
    using P = std::pair<const char*, const char*>;
    for (auto [name, content] :
         {P{"LIB_TLM_FUNC.DAT", "abc"}, P{"get.DEC", ""}, P{"\xE4RGER.ASM", "q"}}) {
        ASSERT_TRUE(ExtractFromArchive(archive, name, out, &error)) << error;
        EXPECT_EQ(ReadBytes(out), content) << name;
    }

    EXPECT_FALSE(ExtractFromArchive(archive, "\xE5rger.asm", out, &error));
    EXPECT_EQ(error, "\"" + archive + "\" holds no entry named \"\xE5rger.asm\"");
    EXPECT_FALSE(ExtractFromArchive(archive, "lib_tlm_func", out, &error));
    EXPECT_EQ(ReadBytes(out), "q");
}

TEST(Archive, ExtractReplacesTheOutputFileWhole) {
    TempDir dir;
    std::string archive = dir / "lib.tlib";
    WriteBytes(archive, Z("f.ini|4|new\n"));

    std::string error;
    std::string out = dir / "f.ini";
    WriteBytes(out, std::string(5000, 'o'));
    ASSERT_TRUE(ExtractFromArchive(archive, "f.ini", out, &error)) << error;
    EXPECT_EQ(ReadBytes(out), "new\n");

    // A link standing at the output path is replaced; the file it points to is untouched.
    WriteBytes(dir / "elsewhere", "keep");
    fs::create_symlink(dir / "elsewhere", dir / "link");
    ASSERT_TRUE(ExtractFromArchive(archive, "F.INI", dir / "link", &error)) << error;
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadBytes(dir / "link"), "new\n");
    EXPECT_EQ(ReadBytes(dir / "elsewhere"), "keep");

    EXPECT_EQ(FolderNames(dir.path()),
              (std::vector<std::string>{"elsewhere", "f.ini", "lib.tlib", "link"}));
}

TEST(Archive, NamesUpTo255BytesFitTheWindow) {
    TempDir dir;
    std::string archive = dir / "lib.tlib";
    WriteBytes(dir / "src", "s");
    const std::string longest(255, 'n');

    std::string error;
    ASSERT_TRUE(AddFileToArchive(archive, dir / "src", longest, &error)) << error;
    ASSERT_TRUE(ExtractFromArchive(archive, longest, dir / "out", &error)) << error;
    EXPECT_EQ(ReadBytes(dir / "out"), "s");

    EXPECT_FALSE(AddFileToArchive(archive, dir / "src", longest + "n", &error));
    EXPECT_NE(error.find("longer than 255 bytes"), std::string::npos) << error;
    EXPECT_FALSE(AddFileToArchive(archive, dir / "src", "a\0b"s, &error));
    EXPECT_NE(error.find("holds a zero byte"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(archive), longest + Z("|1|s"));
}

// Damaged archives: the messages of List and Extract for each, in the golden file.
TEST(Archive, DamagedArchivesAreRefusedWithAReason) {
    const std::vector<std::string> cases = {
        "",
        Z("a|12a|abcdefghijkl"),
        Z("a| 1|x"),
        Z("a|+1|x"),
        Z("a|-1|x"),
        Z("a|01|x"),
        Z("a||x"),
        Z("a|18446744073709551616|"),
        Z("a|") + std::string(200, '9') + Z("|"),
        Z("a|18446744073709551615|x"),
        Z("a|10|abc"),
        Z("a|4|abc"),
        std::string(300, 'n') + Z("|0|"),
        Z("a|") + std::string(256, '1') + Z("|"),
        "abc",
        Z("a|"),
        Z("a|5"),
        Z("a|0|b\x01|9|x"),
        Z("a|0|b"),
    };
    std::string listed;
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 40)));
        TempDir dir;
        std::string archive = dir / "bad.tlib";
        WriteBytes(archive, bytes);

        std::vector<std::string> names{"stale"};
        std::string error;
        EXPECT_FALSE(ListArchive(archive, names, &error));
        EXPECT_TRUE(names.empty());
        std::vector<ArchiveEntry> entries{{"stale", 1}};
        EXPECT_FALSE(ListArchiveEntries(archive, entries));
        EXPECT_TRUE(entries.empty());
        std::string extractError;
        EXPECT_FALSE(ExtractFromArchive(archive, "zzz", dir / "out", &extractError));
        EXPECT_EQ(extractError, error);
        listed += test::Masked(error, archive) + "\n";
        // Nothing was written: no output and no temporary file.
        EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"bad.tlib"});
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "library/damaged_archives.txt", listed));
}

TEST(Archive, ExtractStopsAtTheFirstMatchBeforeADamagedTail) {
    TempDir dir;
    std::string archive = dir / "cut.tlib";
    WriteBytes(archive, Z("a|1|xb|4|yy"));

    std::string error;
    ASSERT_TRUE(ExtractFromArchive(archive, "A", dir / "a", &error)) << error;
    EXPECT_EQ(ReadBytes(dir / "a"), "x");
    EXPECT_FALSE(ExtractFromArchive(archive, "b", dir / "b", &error));
    EXPECT_NE(error.find("entry \"b\" promises 4 bytes but the file holds only 2 more"),
              std::string::npos)
        << error;
    EXPECT_FALSE(fs::exists(dir / "b"));
    std::vector<std::string> names;
    EXPECT_FALSE(ListArchive(archive, names, &error));
}

// Each failing call and its message, the temporary folder written as <project>.
TEST(Archive, FileErrorsNameTheFile) {
    TempDir dir;
    std::string archive = dir / "lib.tlib", listed, error;
    std::vector<std::string> names;
    auto add = [&](bool ok) { listed += (ok ? "ok: " : "failed: ") + error + "\n"; };
    add(ListArchive(dir / "missing.tlib", names, &error));
    add(ExtractFromArchive(dir / "missing.tlib", "a", dir / "out", &error));
    EXPECT_FALSE(fs::exists(dir / "out"));
    add(ListArchive(dir.str(), names, &error));
    WriteBytes(archive, Z("a|1|x"));
    add(AddFileToArchive(archive, dir.str(), "dir", &error));
    add(AddFileToArchive(dir / "no/such.tlib", archive, "a", &error));
    add(ExtractFromArchive(archive, "a", dir / "no/such/out", &error));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "library/file_errors.txt",
                                    test::Masked(listed, dir.str())));
    EXPECT_EQ(ReadBytes(archive), Z("a|1|x"));
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"lib.tlib"});
}

TEST(Archive, FailedAppendLeavesTheEarlierEntries) {
    TempDir dir;
    std::string archive = dir / "lib.tlib";
    const std::string before = Z("a|1|x");
    WriteBytes(archive, before);
    WriteBytes(dir / "big", Pattern(50'000));

    // Let the file system refuse writes past 20,000 bytes, in the middle of the content.
    std::string error;
    bool added = true;
    test::WithFileSizeLimit(20'000,
                            [&] { added = AddFileToArchive(archive, dir / "big", "big", &error); });

    EXPECT_FALSE(added);
    EXPECT_EQ(error.rfind("Cannot write \"" + archive + "\": ", 0), 0u) << error;
    EXPECT_EQ(ReadBytes(archive), before);
    std::vector<std::string> names;
    EXPECT_TRUE(ListArchive(archive, names, &error)) << error;
    EXPECT_EQ(names, std::vector<std::string>{"a"});

    // The same limit in the middle of an extraction: the old output stays, no temporary file.
    ASSERT_TRUE(AddFileToArchive(archive, dir / "big", "big", &error)) << error;
    std::string out = dir / "out";
    WriteBytes(out, "old");
    bool extracted = true;
    test::WithFileSizeLimit(20'000,
                            [&] { extracted = ExtractFromArchive(archive, "big", out, &error); });

    EXPECT_FALSE(extracted);
    EXPECT_EQ(error.rfind("Cannot write \"" + out + "\": ", 0), 0u) << error;
    EXPECT_EQ(ReadBytes(out), "old");
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"big", "lib.tlib", "out"}));
}

} // namespace
} // namespace kestrel
