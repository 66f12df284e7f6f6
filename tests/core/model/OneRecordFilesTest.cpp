// The one-record files (.tp, option.dat, gen.dat, asml.dat, asf.dat): exact bytes against
// hand-written records, writing without truncation, and reading short or damaged files.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"

#include "TestSupport.h"

#include <filesystem>
#include <string>

namespace kestrel {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::SameBytes;
using test::TempDir;
using test::WriteBytes;

bool Names(const Status& status, std::string_view path) {
    const std::string quoted = "\"" + std::string(path) + "\"";
    return !status.ok() && status.message().find(quoted) != std::string::npos;
}

// A project folder with its Input folder.
struct Project {
    TempDir dir;
    Project() { std::filesystem::create_directory(dir.path() / "Input"); }
    std::string folder() const { return dir.str(); }
    std::string input(std::string_view file) const { return InputPath(dir.str(), file); }
};

const std::string kOptionBytes = "\x03\x00" // GenerationMethod 3
                                 "\x00\x00" // ClockPositiveEdge false
                                 "\xFF\xFF" // UseSetupTime true
                                 "\x02\x00" // SetupTime 2
                                 "\x05\x00"
                                 "SC_PS"    // SetupUnit
                                 "\x01\x00" // SetupUnitIndex
                                 "\x0A\x00" // ClockPeriod 10
                                 "\x05\x00"
                                 "SC_NS"            // PeriodUnit
                                 "\x02\x00"         // PeriodUnitIndex
                                 "\x90\xEE\xFE\xFF" // SetupWait -70000
                                 "\x05\x00"
                                 "SC_PS"    // SetupWaitUnit
                                 "\xFF\xFF" // MakeLibrary
                                 "\x10\x00"
                                 "/p/Output/P.tlib"
                                 "\x09\x00"
                                 "/p/Output"
                                 "\x0C\x00"
                                 "P Transactor"
                                 "\x02\x00"
                                 "me"
                                 "\x00\x00" // Company ""
                                 "\x06\x00"
                                 "a\r\nb\r\n"
                                 "\xFF\xFF"s; // UseCommentInHeaders

ProjectOptions SampleOptions() {
    ProjectOptions o;
    o.generationMethod = kMethodTemplate;
    o.clockPositiveEdge = false;
    o.useSetupTime = true;
    o.setupTime = 2;
    o.setupUnit = "SC_PS";
    o.setupUnitIndex = 1;
    o.clockPeriod = 10;
    o.periodUnit = "SC_NS";
    o.periodUnitIndex = 2;
    o.setupWait = -70000;
    o.setupWaitUnit = "SC_PS";
    o.makeLibrary = true;
    o.libraryFile = "/p/Output/P.tlib";
    o.libraryFolder = "/p/Output";
    o.title = "P Transactor";
    o.author = "me";
    o.comment = "a\r\nb\r\n";
    o.useCommentInHeaders = true;
    return o;
}

TEST(Encoding, NumbersAndVariableText) {
    ByteWriter out;
    out.Integer(-2);
    out.Long(0x01020304);
    out.Boolean(true);
    out.VariableText("\xE9t\xE9"); // Windows-1252 bytes go out as they are
    EXPECT_TRUE(SameBytes("\xFE\xFF\x04\x03\x02\x01\xFF\xFF\x03\x00\xE9t\xE9"s, out.bytes()));

    ByteWriter longText;
    longText.VariableText(std::string(70000, 'q'));
    EXPECT_EQ(longText.bytes().size(), 2u + 65535u);
    EXPECT_EQ(longText.bytes().substr(0, 2), "\xFF\xFF"s);

    // A failed read leaves its target alone; a Boolean keeps the raw value it read.
    const std::string bytes = "\x01\x00\x05\x00"
                              "a"s;
    ByteReader in(bytes);
    Flag flag;
    ASSERT_TRUE(in.Boolean(flag));
    EXPECT_EQ(flag.raw(), 1);
    std::string text = "kept";
    EXPECT_FALSE(in.VariableText(text));
    EXPECT_EQ(text, "kept");
    std::int32_t value = 7;
    EXPECT_FALSE(in.Long(value));
    EXPECT_EQ(value, 7);
}

TEST(OneRecordFiles, ExactBytes) {
    Project p;
    ASSERT_TRUE(SaveOptions(p.folder(), SampleOptions()));
    EXPECT_TRUE(SameBytes(kOptionBytes, ReadBytes(p.input(kOptionFile))));
    ProjectOptions options;
    ASSERT_TRUE(LoadOptions(p.folder(), options));
    EXPECT_EQ(options, SampleOptions());

    GenerationSettings settings;
    settings.transactorCppPath = "/p/T.cpp";
    settings.transactorHeaderPath = "/p/T.h";
    settings.interfaceHeaderPath = "/p/I.h";
    ASSERT_TRUE(SaveGenerationSettings(p.folder(), settings));
    EXPECT_TRUE(SameBytes("\x0A\x00"
                          "clsTLM_AIC"
                          "\x07\x00"
                          "clsTran"
                          "\x08\x00"
                          "/p/T.cpp"
                          "\x06\x00"
                          "/p/T.h"
                          "\x06\x00"
                          "/p/I.h"s,
                          ReadBytes(p.input(kGenerationFile))));
    GenerationSettings loadedSettings;
    ASSERT_TRUE(LoadGenerationSettings(p.folder(), loadedSettings));
    EXPECT_EQ(loadedSettings, settings);

    AsmlAssignment asml{"/p/Temp/P.doc", std::string(kNotAssigned), false};
    ASSERT_TRUE(SaveAsmlAssignment(p.folder(), asml));
    EXPECT_TRUE(SameBytes("\x0D\x00"
                          "/p/Temp/P.doc"
                          "\x0E\x00"
                          "<not assigned>"
                          "\x00\x00"s,
                          ReadBytes(p.input(kAsmlAssignmentFile))));
    AsmlAssignment loadedAsml{"x", "y", true};
    ASSERT_TRUE(LoadAsmlAssignment(p.folder(), loadedAsml));
    EXPECT_EQ(loadedAsml, asml);

    ASSERT_TRUE(SaveAsfAssignment(p.folder(), AsfAssignment{"/p/Temp/untitled.asf"}));
    EXPECT_TRUE(SameBytes("\x14\x00"
                          "/p/Temp/untitled.asf"s,
                          ReadBytes(p.input(kAsfAssignmentFile))));

    ProjectRecord record{"P", p.folder(), true, false, kStageDeclared};
    ASSERT_TRUE(SaveProjectFile(record));
    const std::string tpPath = p.folder() + "/P.tp";
    EXPECT_EQ(ProjectFilePath(record), tpPath);
    std::string folderLength(2, '\0');
    folderLength[0] = static_cast<char>(p.folder().size() & 0xFF);
    folderLength[1] = static_cast<char>(p.folder().size() >> 8);
    EXPECT_TRUE(SameBytes("\x01\x00"
                          "P"s +
                              folderLength + p.folder() + "\xFF\xFF\x00\x00\x02\x00"s,
                          ReadBytes(tpPath)));
    ProjectRecord loadedRecord;
    ASSERT_TRUE(ReadProjectFile(tpPath, loadedRecord));
    EXPECT_EQ(loadedRecord, record);
}

TEST(OneRecordFiles, WritingKeepsStaleBytesWhichReadingIgnores) {
    Project p;
    const std::string tpPath = p.folder() + "/P.tp";
    const std::string stale(300, 'Z');
    WriteBytes(tpPath, stale);
    ProjectRecord record{"P", p.folder(), false, true, kStageCreated};
    ASSERT_TRUE(SaveProjectFile(record));
    const std::string encoded = EncodeProjectRecord(record);
    EXPECT_TRUE(SameBytes(encoded + stale.substr(encoded.size()), ReadBytes(tpPath)));
    ProjectRecord loaded;
    ASSERT_TRUE(ReadProjectFile(tpPath, loaded));
    EXPECT_EQ(loaded, record);

    WriteBytes(p.input(kOptionFile), std::string(1000, '\xEE'));
    ASSERT_TRUE(SaveOptions(p.folder(), SampleOptions()));
    std::string bytes = ReadBytes(p.input(kOptionFile));
    ASSERT_EQ(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, kOptionBytes.size()), kOptionBytes);
    ProjectOptions options;
    ASSERT_TRUE(LoadOptions(p.folder(), options));
    EXPECT_EQ(options, SampleOptions());

    WriteBytes(p.input(kAsfAssignmentFile), "\x10\x00"
                                            "/a/much/longer/p"s);
    ASSERT_TRUE(SaveAsfAssignment(p.folder(), AsfAssignment{"/b"}));
    EXPECT_TRUE(SameBytes("\x02\x00"
                          "/b"
                          "/much/longer/p"s,
                          ReadBytes(p.input(kAsfAssignmentFile))));
    AsfAssignment asf;
    ASSERT_TRUE(LoadAsfAssignment(p.folder(), asf));
    EXPECT_EQ(asf.asfTemplatePath, "/b");
}

TEST(OneRecordFiles, MissingAndShortFilesKeepNumbersAndEmptyTexts) {
    Project p;
    ProjectOptions options = SampleOptions();
    options.setupUnitIndex = 4;
    options.setupWait = 123;
    ASSERT_TRUE(LoadOptions(p.folder(), options)); // option.dat is missing
    EXPECT_FALSE(FileExists(p.input(kOptionFile)));
    ProjectOptions expected = SampleOptions();
    expected.setupUnitIndex = 4;
    expected.setupWait = 123;
    for (std::string* text : {&expected.setupUnit, &expected.periodUnit, &expected.setupWaitUnit,
                              &expected.libraryFile, &expected.libraryFolder, &expected.title,
                              &expected.author, &expected.company, &expected.comment})
        text->clear();
    EXPECT_EQ(options, expected);

    // The file ends after SetupTime, then inside the count of SetupUnit, then inside
    // ClockPeriod: every field not reached keeps the rule of the missing file.
    for (std::size_t cut : {8u, 9u, 18u}) {
        SCOPED_TRACE("option.dat cut at " + std::to_string(cut));
        WriteBytes(p.input(kOptionFile), kOptionBytes.substr(0, cut));
        ProjectOptions o;
        o.setupTime = 99;
        o.clockPeriod = 77;
        ASSERT_TRUE(LoadOptions(p.folder(), o));
        EXPECT_EQ(o.generationMethod, kMethodTemplate);
        EXPECT_FALSE(o.clockPositiveEdge);
        EXPECT_EQ(o.setupTime, 2);
        EXPECT_EQ(o.setupUnit, cut >= 15 ? "SC_PS" : "");
        EXPECT_EQ(o.setupUnitIndex, cut >= 17 ? 1 : ProjectOptions{}.setupUnitIndex);
        EXPECT_EQ(o.clockPeriod, 77);
        EXPECT_EQ(o.periodUnit, "");
        EXPECT_EQ(o.libraryFile, "");
    }

    AsmlAssignment asml{"old", "old", true};
    ASSERT_TRUE(LoadAsmlAssignment(p.folder(), asml));
    EXPECT_EQ(asml, (AsmlAssignment{"", "", true}));
    WriteBytes(p.input(kAsmlAssignmentFile), "\x02\x00"
                                             "/d"
                                             "\x01\x00"
                                             "L"
                                             "\x00"s);
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
    ProjectOptions options;
    WriteBytes(p.input(kOptionFile), kOptionBytes.substr(0, 12));
    Status s = LoadOptions(p.folder(), options);
    EXPECT_TRUE(Names(s, p.input(kOptionFile))) << s.message();
    EXPECT_EQ(s.message(),
              "\"" + p.input(kOptionFile) + "\" is damaged: a text runs past the end of the file");

    std::string hostile = kOptionBytes;
    hostile.replace(hostile.size() - 10, 2, "\xFF\xFF"); // Comment claims 65535 bytes
    WriteBytes(p.input(kOptionFile), hostile);
    EXPECT_TRUE(Names(LoadOptions(p.folder(), options), p.input(kOptionFile)));

    GenerationSettings settings;
    WriteBytes(p.input(kGenerationFile), "\x03\x00"
                                         "abc"
                                         "\x40\x00"
                                         "short"s);
    EXPECT_TRUE(Names(LoadGenerationSettings(p.folder(), settings), p.input(kGenerationFile)));
    AsmlAssignment asml;
    WriteBytes(p.input(kAsmlAssignmentFile), "\xFF\xFF"s);
    EXPECT_TRUE(Names(LoadAsmlAssignment(p.folder(), asml), p.input(kAsmlAssignmentFile)));
    AsfAssignment asf;
    WriteBytes(p.input(kAsfAssignmentFile), "\x09\x00"
                                            "/x"s);
    EXPECT_TRUE(Names(LoadAsfAssignment(p.folder(), asf), p.input(kAsfAssignmentFile)));

    const std::string tpPath = p.folder() + "/P.tp";
    ProjectRecord record{"P", "/untouched", true, true, kStageAssigned};
    const ProjectRecord before = record;
    EXPECT_TRUE(Names(ReadProjectFile(tpPath, record), tpPath)); // missing
    const std::string good = EncodeProjectRecord({"P", p.folder(), true, true, kStageCreated});
    for (std::size_t cut : std::initializer_list<std::size_t>{0, 1, 3, good.size() - 1}) {
        WriteBytes(tpPath, good.substr(0, cut));
        EXPECT_TRUE(Names(ReadProjectFile(tpPath, record), tpPath)) << "cut at " << cut;
    }
    WriteBytes(tpPath, "\x01\x00"
                       "P"
                       "\xF0\xFF"
                       "/x"s);
    EXPECT_TRUE(Names(ReadProjectFile(tpPath, record), tpPath));
    EXPECT_EQ(record, before);
}

} // namespace
} // namespace kestrel
