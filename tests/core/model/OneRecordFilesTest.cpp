// The one-record files (.tp, option.dat, gen.dat, asml.dat, asf.dat): exact bytes against
// hand-written records, and reading short or damaged files.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"

#include "TestSupport.h"

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kestrel {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::SameBytes;
using test::TempDir;
using test::WriteBytes;

// A project folder with its Input folder.
struct Project {
    TempDir dir;
    Project() { std::filesystem::create_directory(dir.path() / "Input"); }
    std::string folder() const { return dir.str(); }
    std::string input(std::string_view file) const { return InputPath(dir.str(), file); }
};

// option.dat of SampleOptions, field by field: method 3, positive edge false, setup time
// used, 2, "SC_PS" (index 1), period 10 "SC_NS" (index 2), setup wait -70000 "SC_PS", make
// library, library file and folder, title, author, company "", comment, comment used.
const std::string kOptionBytes =
    "\3\0\0\0\xFF\xFF\2\0\5\0SC_PS\1\0\n\0\5\0SC_NS\2\0\x90\xEE\xFE\xFF\5\0SC_PS\xFF\xFF"
    "\x10\0/p/Output/P.tlib\t\0/p/Output\f\0P Transactor\2\0me\0\0\6\0a\r\nb\r\n\xFF\xFF"s;

ProjectOptions SampleOptions() {
    ProjectOptions o;
    std::tie(o.generationMethod, o.clockPositiveEdge, o.setupTime, o.clockPeriod, o.setupWait) =
        std::tuple(kMethodTemplate, false, 2, 10, -70000);
    std::tie(o.setupUnit, o.setupWaitUnit, o.makeLibrary, o.useCommentInHeaders) =
        std::tuple("SC_PS", "SC_PS", true, true);
    std::tie(o.libraryFile, o.libraryFolder, o.title, o.author, o.comment) =
        std::tuple("/p/Output/P.tlib", "/p/Output", "P Transactor", "me", "a\r\nb\r\n");
    return o;
}

TEST(Encoding, NumbersAndVariableText) {
    ByteWriter out;
    out.Integer(-2);
    out.Long(0x01020304);
    out.Boolean(true);
    out.VariableText("\xE9t\xE9"); // Windows-1252 bytes go out as they are
    EXPECT_TRUE(SameBytes("\xFE\xFF\x04\x03\x02\x01\xFF\xFF\3\0\xE9t\xE9"s, out.bytes()));
    ByteWriter longText;
    longText.VariableText(std::string(70000, 'q'));
    EXPECT_EQ(longText.bytes().substr(0, 2) + std::to_string(longText.bytes().size()),
              "\xFF\xFF" + std::to_string(2 + 65535));

    // A failed read leaves its target alone; a Boolean keeps the raw value it read.
    const std::string bytes = "\1\0\5\0a"s;
    ByteReader in(bytes);
    Flag flag;
    ASSERT_TRUE(in.Boolean(flag));
    EXPECT_EQ(flag.raw(), 1);
    std::string text = "kept";
    std::int32_t value = 7;
    EXPECT_FALSE(in.VariableText(text));
    EXPECT_FALSE(in.Long(value));
    EXPECT_EQ(text + std::to_string(value), "kept7");
}

// Saves `value` into the project, expects `bytes` in its file, and loads it back over
// `loaded` (which differs from it in every field).
template <typename T>
void ExpectExactBytes(const Project& p, std::string_view file,
                      Status (*save)(std::string_view, const T&),
                      Status (*load)(std::string_view, T&), const T& value,
                      const std::string& bytes, T loaded) {
    ASSERT_TRUE(save(p.folder(), value));
    EXPECT_TRUE(SameBytes(bytes, ReadBytes(p.input(file))));
    ASSERT_TRUE(load(p.folder(), loaded));
    EXPECT_EQ(loaded, value);
}

TEST(OneRecordFiles, ExactBytes) {
    Project p;
    ExpectExactBytes(p, kOptionFile, SaveOptions, LoadOptions, SampleOptions(), kOptionBytes, {});
    ExpectExactBytes(p, kGenerationFile, SaveGenerationSettings, LoadGenerationSettings,
                     {"clsTLM_AIC", "clsTran", "/p/T.cpp", "/p/T.h", "/p/I.h"},
                     "\n\0clsTLM_AIC\a\0clsTran\b\0/p/T.cpp\6\0/p/T.h\6\0/p/I.h"s,
                     {"", "", "", "", ""});
    ExpectExactBytes(p, kAsmlAssignmentFile, SaveAsmlAssignment, LoadAsmlAssignment,
                     {"/p/Temp/P.doc", std::string(kNotAssigned), false},
                     "\r\0/p/Temp/P.doc\x0E\0<not assigned>\0\0"s, {"x", "y", true});
    ExpectExactBytes(p, kAsfAssignmentFile, SaveAsfAssignment, LoadAsfAssignment,
                     {"/p/Temp/untitled.asf"}, "\x14\0/p/Temp/untitled.asf"s, {"x"});

    ProjectRecord record{"P", p.folder(), true, false, kStageDeclared};
    ASSERT_TRUE(SaveProjectFile(record));
    const std::string tpPath = p.folder() + "/P.tp";
    EXPECT_EQ(ProjectFilePath(record), tpPath);
    const std::string folderLength{static_cast<char>(p.folder().size() & 0xFF),
                                   static_cast<char>(p.folder().size() >> 8)};
    EXPECT_TRUE(
        SameBytes("\1\0P"s + folderLength + p.folder() + "\xFF\xFF\0\0\2\0"s, ReadBytes(tpPath)));
    ProjectRecord loadedRecord;
    ASSERT_TRUE(ReadProjectFile(tpPath, loadedRecord));
    EXPECT_EQ(loadedRecord, record);
}

TEST(OneRecordFiles, MissingAndShortFilesKeepNumbersAndEmptyTexts) {
    Project p;
    ProjectOptions options = SampleOptions();
    options.setupUnitIndex = 4;
    ASSERT_TRUE(LoadOptions(p.folder(), options)); // option.dat is missing
    EXPECT_FALSE(FileExists(p.input(kOptionFile)));
    ProjectOptions expected = SampleOptions();
    expected.setupUnitIndex = 4;
    for (std::string* text : {&expected.setupUnit, &expected.periodUnit, &expected.setupWaitUnit,
                              &expected.libraryFile, &expected.libraryFolder, &expected.title,
                              &expected.author, &expected.company, &expected.comment})
        text->clear();
    EXPECT_EQ(options, expected);

    // The file ends after SetupTime, then inside the count of SetupUnit, then inside
    // ClockPeriod: every field not reached keeps the rule of the missing file.
    for (std::size_t cut : {8u, 9u, 18u}) {
        WriteBytes(p.input(kOptionFile), kOptionBytes.substr(0, cut));
        ProjectOptions o;
        o.setupTime = 99;
        o.clockPeriod = 77;
        ASSERT_TRUE(LoadOptions(p.folder(), o));
        ProjectOptions want;
        want.generationMethod = kMethodTemplate;
        want.clockPositiveEdge = false;
        want.setupTime = 2;
        want.setupUnit = cut >= 15 ? "SC_PS" : "";
        want.clockPeriod = 77;
        want.periodUnit = want.setupWaitUnit = "";
        EXPECT_EQ(o, want) << "option.dat cut at " << cut;
    }

    AsmlAssignment asml{"old", "old", true};
    ASSERT_TRUE(LoadAsmlAssignment(p.folder(), asml));
    EXPECT_EQ(asml, (AsmlAssignment{"", "", true}));
    WriteBytes(p.input(kAsmlAssignmentFile), "\2\0/d\1\0L\0"s);
    ASSERT_TRUE(LoadAsmlAssignment(p.folder(), asml));
    EXPECT_EQ(asml, (AsmlAssignment{"/d", "L", true}));

    GenerationSettings settings;
    ASSERT_TRUE(LoadGenerationSettings(p.folder(), settings));
    EXPECT_EQ(settings, (GenerationSettings{"", "", "", "", ""}));
    AsfAssignment asf{"old"};
    ASSERT_TRUE(LoadAsfAssignment(p.folder(), asf));
    EXPECT_EQ(asf.asfTemplatePath, "");
}

TEST(OneRecordFiles, DamagedFilesAreErrorsNamingTheFile) {
    Project p;
    const std::string tpPath = p.folder() + "/P.tp";
    ProjectRecord record{"P", "/untouched", true, true, kStageAssigned};
    const ProjectRecord before = record;
    const std::string tp = EncodeProjectRecord({"P", p.folder(), true, true, kStageCreated});
    std::string hostile = kOptionBytes;
    hostile.replace(hostile.size() - 10, 2, "\xFF\xFF"); // the comment claims 65535 bytes
    ProjectOptions options;
    GenerationSettings settings;
    AsmlAssignment asml;
    AsfAssignment asf;
    struct Case {
        std::string path;
        std::string bytes; // "-": no file
        std::function<Status()> load;
    };
    const std::vector<Case> cases = {
        {p.input(kOptionFile), kOptionBytes.substr(0, 12),
         [&] { return LoadOptions(p.folder(), options); }},
        {p.input(kOptionFile), hostile, [&] { return LoadOptions(p.folder(), options); }},
        {p.input(kGenerationFile), "\3\0abc\x40\0short"s,
         [&] { return LoadGenerationSettings(p.folder(), settings); }},
        {p.input(kAsmlAssignmentFile), "\xFF\xFF"s,
         [&] { return LoadAsmlAssignment(p.folder(), asml); }},
        {p.input(kAsfAssignmentFile), "\t\0/x"s,
         [&] { return LoadAsfAssignment(p.folder(), asf); }},
        {tpPath, "-", [&] { return ReadProjectFile(tpPath, record); }},
        {tpPath, tp.substr(0, 0), [&] { return ReadProjectFile(tpPath, record); }},
        {tpPath, tp.substr(0, 1), [&] { return ReadProjectFile(tpPath, record); }},
        {tpPath, tp.substr(0, 3), [&] { return ReadProjectFile(tpPath, record); }},
        {tpPath, tp.substr(0, tp.size() - 1), [&] { return ReadProjectFile(tpPath, record); }},
        {tpPath, "\1\0P\xF0\xFF/x"s, [&] { return ReadProjectFile(tpPath, record); }}};
    for (const Case& c : cases) {
        if (c.bytes != "-") WriteBytes(c.path, c.bytes);
        Status s = c.load();
        EXPECT_FALSE(s) << c.path << " " << c.bytes.size();
        EXPECT_NE(s.message().find("\"" + c.path + "\""), std::string::npos) << s.message();
    }
    EXPECT_EQ(LoadOptions(p.folder(), options).message(),
              "\"" + p.input(kOptionFile) + "\" is damaged: a text runs past the end of the file");
    EXPECT_EQ(record, before);
}

} // namespace
} // namespace kestrel
