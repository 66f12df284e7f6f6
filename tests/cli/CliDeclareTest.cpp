// kestrel-cli declare, in process: show --json then declare leaves the table files byte
// for byte as they were; the file's keys are read as the windows' fields; the core's notes,
// warnings and refusals pass through (a refusal exits 1, names the file's entry and leaves
// every file untouched). Where library entries put the library items is the core's rule
// (tests/core/project); the round trip over the shared cases passes them through.
#include "CliRunner.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <nlohmann/json.hpp>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using test::Has;
using Json = nlohmann::json;

// Copies the project folder held in `from` (the folder itself or its only subfolder);
// the copy's .tp path.
fs::path CopyProject(const fs::path& from, const fs::path& to) {
    auto projectFile = [](const fs::path& folder) {
        for (auto& e : fs::directory_iterator(folder))
            if (e.path().extension() == ".tp") return e.path();
        return fs::path();
    };
    fs::path source = from;
    if (projectFile(source).empty())
        for (auto& e : fs::directory_iterator(from))
            if (e.is_directory()) source = e.path();
    test::CopyTree(source, to);
    return projectFile(to);
}

// The bytes of a project's two table files.
std::string Tables(const fs::path& tp) {
    std::string bytes;
    for (const char* file : {"tlm_func.dat", "rtl_sig.dat"})
        if (fs::exists(tp.parent_path() / "Input" / file))
            bytes += test::ReadBytes(tp.parent_path() / "Input" / file);
    return bytes;
}

struct Project {
    test::TempDir dir;
    fs::path tp;
    explicit Project(const fs::path& from = {}) {
        tp = from.empty() ? fs::path(test::NewCliProject(dir, "P"))
                          : CopyProject(from, dir.path() / "p");
    }
    CliRun Declare(const Json& json) {
        test::WriteBytes(dir.path() / "d.json", json.dump());
        return Cli({"declare", tp.string(), (dir.path() / "d.json").string()});
    }
    Json Shown() { return Json::parse(Cli({"show", tp.string(), "--json"}).out); }
};

TEST(CliDeclare, ShowThenDeclareRoundTrips) {
    std::vector<fs::path> projects = {fs::path(KESTREL_EXAMPLES_DIR) / "MemBus"};
    if (!test::ConformanceDir().empty())
        for (auto& entry : fs::directory_iterator(test::ConformanceDir()))
            if (fs::is_directory(entry.path() / "before"))
                projects.push_back(entry.path() / "before");
    for (const fs::path& from : projects) {
        SCOPED_TRACE(from.string());
        Project p(from);
        const std::string tables = Tables(p.tp);
        const Json shown = p.Shown();
        CliRun declared = p.Declare(shown);
        ASSERT_EQ(declared.code, 0) << declared.err;
        EXPECT_TRUE(test::SameBytes(tables, Tables(p.tp)));
        EXPECT_EQ(p.Shown(), shown);
    }
}

Json Clock() {
    return {{"name", "clk"}, {"clock", true}, {"init", "1"}};
}

TEST(CliDeclare, ReadsTheKeysAsTheWindowsFieldsAndPassesNotesAndWarningsOn) {
    Project p;
    // Keys by text or by index, a name with blanks, a width where none belongs: the stored
    // declarations are the golden listing, the notes the golden messages.
    CliRun run =
        p.Declare(Json::parse(test::ReadBytes(test::FixtureDir() / "cli/declare_keys.json")));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/declare_keys_show.json",
                                    test::MaskedShow(p.tp.string(), p.dir, true)));
    // A note for each value the rules changed, a warning for each name declared twice.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/declare_notes.txt", run.err));
    // Declaring what is stored again changes no value: only the warning is said again.
    EXPECT_EQ(p.Declare(p.Shown()).err, run.err.substr(run.err.find("kestrel-cli: warning")));

    // The stored parameter: "&" marker, no "const " in the type, no " []" in the name.
    auto table = std::make_unique<TlmFunctionTable>();
    ASSERT_TRUE(LoadTlmFunctions((p.dir.path() / "P").string(), *table).ok());
    const TlmParameter& b = (*table)[1].parameters[2];
    EXPECT_EQ(b.typeText.Raw().substr(0, 5), "char ");
    EXPECT_EQ(b.passMarker.Raw().substr(0, 2), "& ");
    EXPECT_EQ(b.parameterName.Raw().substr(0, 2), "b ");

    // check warns of the same names at the table file (the template method translates
    // nothing: the declarations are all it sees) and counts them in its summary.
    ASSERT_EQ(Cli({"options", p.tp.string(), "--method", "template"}).code, 0);
    CliRun check = Cli({"check", p.tp.string()});
    EXPECT_EQ(check.code, 0) << check.err;
    EXPECT_TRUE(
        Has(check.err,
            (p.dir.path() / "P/Input/tlm_func.dat: warning: 2 functions are named idle").string()))
        << check.err;
    EXPECT_TRUE(Has(check.out, p.tp.string() + ": 0 error(s), "));
}

TEST(CliDeclare, RefusalsExitOneNameTheEntryAndWriteNothing) {
    Project p;
    ASSERT_EQ(p.Declare({{"functions", {{{"name", "f"}}}}, {"signals", {Clock()}}}).code, 0);
    const std::string before = Tables(p.tp) + test::ReadBytes(p.tp);
    Json manySignals = Json::array({Clock()});
    for (int i = 0; i < 25; ++i) manySignals.push_back({{"name", "s" + std::to_string(i)}});
    Json manyParameters = Json::array();
    for (int i = 0; i < 21; ++i)
        manyParameters.push_back({{"name", "p" + std::to_string(i)}, {"type", "int"}});
    struct Case {
        Json file;
        std::string message;
    };
    // The rules and their texts are the core's (tests/core/project); these reach the
    // capacity and name checks of the merge.
    const std::vector<Case> cases = {
        {{{"signals", manySignals}}, "Cannot have more than 25 Signals"},
        {{{"functions", {{{"name", "f"}, {"parameters", manyParameters}}}}},
         "Cannot have more than 20 parameters"},
        {{{"functions", {{{"name", ""}}}}}, "Enter Function Name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CliRun run = p.Declare(c.file);
        EXPECT_EQ(run.code, 1);
        // "<title>: <message>", then which entry of the file was refused.
        EXPECT_TRUE(Has(run.err, ": " + c.message));
        EXPECT_TRUE(Has(run.err, "d.json"));
        EXPECT_EQ(Tables(p.tp) + test::ReadBytes(p.tp), before);
    }
    // A malformed file is a file error naming the file.
    test::WriteBytes(p.dir.path() / "bad.json", "{\"functions\": [");
    CliRun bad = Cli({"declare", p.tp.string(), (p.dir.path() / "bad.json").string()});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(Has(bad.err, "bad.json"));
    EXPECT_EQ(Tables(p.tp) + test::ReadBytes(p.tp), before);
}

} // namespace
} // namespace kestrel
