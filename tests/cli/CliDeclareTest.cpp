// kestrel-cli declare, in process: show --json then declare leaves the table files byte
// for byte as they were; declared texts are stored as the windows store them; refusals
// print the window's message, exit 1 and leave every file untouched.
#include "CliRunner.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using Json = nlohmann::json;

fs::path OnlyProjectFile(const fs::path& folder) {
    for (auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".tp") return e.path();
    return {};
}

// Copies the project folder held in `from` (the folder itself or its only subfolder).
fs::path CopyProject(const fs::path& from, const fs::path& to) {
    fs::path source = from;
    if (OnlyProjectFile(source).empty())
        for (auto& e : fs::directory_iterator(from))
            if (e.is_directory()) source = e.path();
    test::CopyTree(source, to);
    return OnlyProjectFile(to);
}

std::string TableBytes(const fs::path& project, const char* file) {
    fs::path path = project.parent_path() / "Input" / file;
    return fs::exists(path) ? test::ReadBytes(path) : std::string();
}

void ExpectRoundTrip(const fs::path& projectFolder, const std::string& label) {
    SCOPED_TRACE(label);
    test::TempDir dir;
    fs::path tp = CopyProject(projectFolder, dir.path() / "p");
    ASSERT_FALSE(tp.empty());
    std::string functions = TableBytes(tp, "tlm_func.dat");
    std::string signals = TableBytes(tp, "rtl_sig.dat");
    CliRun shown = Cli({"show", tp.string(), "--json"});
    ASSERT_EQ(shown.code, 0) << shown.err;
    test::WriteBytes(dir.path() / "decl.json", shown.out);
    CliRun declared = Cli({"declare", tp.string(), (dir.path() / "decl.json").string()});
    ASSERT_EQ(declared.code, 0) << declared.err;
    EXPECT_TRUE(test::SameBytes(functions, TableBytes(tp, "tlm_func.dat")));
    EXPECT_TRUE(test::SameBytes(signals, TableBytes(tp, "rtl_sig.dat")));
    // Declaring again what is now stored still changes nothing.
    EXPECT_EQ(Cli({"show", tp.string(), "--json"}).out, shown.out);
}

TEST(CliDeclare, ShowThenDeclareRoundTrips) {
    ExpectRoundTrip(test::FixtureDir().parent_path().parent_path() / "examples" / "MemBus",
                    "MemBus");
    fs::path root = test::ConformanceDir();
    if (root.empty()) GTEST_SKIP() << "no conformance cases beside the checkout";
    int ran = 0;
    for (auto& entry : fs::directory_iterator(root)) {
        if (!fs::is_directory(entry.path() / "before")) continue;
        ExpectRoundTrip(entry.path() / "before", entry.path().filename().string());
        ++ran;
    }
    EXPECT_GT(ran, 0);
}

// A new project with the given declarations; returns the .tp path.
struct Project {
    test::TempDir dir;
    fs::path tp;
    Project() {
        CliRun made = Cli({"new", "P", "--location", dir.str()});
        EXPECT_EQ(made.code, 0) << made.err;
        tp = dir.path() / "P" / "P.tp";
    }
    CliRun Declare(const Json& json) {
        test::WriteBytes(dir.path() / "d.json", json.dump());
        return Cli({"declare", tp.string(), (dir.path() / "d.json").string()});
    }
    Json Shown() { return Json::parse(Cli({"show", tp.string(), "--json"}).out); }
};

Json Clock() {
    return {{"name", "clk"}, {"clock", true}, {"init", "1"}};
}

TEST(CliDeclare, StoresTextsAsTheWindowsDo) {
    Project p;
    Json file = {{"functions",
                  {{{"name", "write"},
                    {"returnType", "int"},
                    {"parameters",
                     {{{"type", "int"}, {"name", "a"}},
                      {{"type", "char"},
                       {"byReference", true},
                       {"const", true},
                       {"array", true},
                       {"name", "b"}}}}},
                   {{"name", "idle"}, {"returnTypeIndex", 0}}}},
                 {"signals",
                  {{{"name", "clk"}, {"clock", true}, {"init", "0"}},
                   {{"name", " data "}, {"dataType", "sc_lv"}, {"width", 4}, {"init", "01x"}},
                   {{"name", "wide"}, {"dataTypeIndex", 1}, {"width", 4}, {"init", "0110011"}},
                   {{"name", "bit"}, {"direction", "sc_out"}, {"init", "x1"}},
                   {{"name", "flag"}, {"dataType", "bool"}, {"width", 8}, {"init", ""}}}}};
    CliRun run = p.Declare(file);
    ASSERT_EQ(run.code, 0) << run.err;
    Json shown = p.Shown();
    EXPECT_EQ(shown["project"]["stage"], 2);
    EXPECT_EQ(shown["functions"][0]["signature"], "( int  a, const char & b [] )");
    EXPECT_EQ(shown["functions"][0]["returnTypeIndex"], 4);
    EXPECT_EQ(shown["functions"][1]["signature"], "(  )");
    const Json& s = shown["signals"];
    EXPECT_EQ(s[0]["dataType"], "bool");
    EXPECT_EQ(s[0]["init"], "1"); // a clock starts at 1, whatever the file says
    EXPECT_EQ(s[1]["name"], "data");
    EXPECT_EQ(s[1]["init"], "001X");
    EXPECT_EQ(s[2]["init"], "0011");
    EXPECT_EQ(s[3]["init"], "1");
    EXPECT_EQ(s[3]["directionIndex"], 1);
    EXPECT_EQ(s[4]["width"], 1); // only sc_lv has a width
    EXPECT_EQ(s[4]["init"], "0");

    // Every value the rules changed beyond its letter case is told, once.
    EXPECT_EQ(run.err,
              "kestrel-cli: note: signal \"clk\": initial value \"0\" stored as \"1\" (a clock "
              "starts at 1)\n"
              "kestrel-cli: note: signal \"data\": initial value \"01x\" stored as \"001X\" "
              "(fitted to the width 4)\n"
              "kestrel-cli: note: signal \"wide\": initial value \"0110011\" stored as \"0011\" "
              "(fitted to the width 4)\n"
              "kestrel-cli: note: signal \"bit\": initial value \"x1\" stored as \"1\" (an "
              "sc_logic value is one character)\n"
              "kestrel-cli: note: signal \"flag\": initial value \"\" stored as \"0\" (as the "
              "signal dialog stores it)\n");
    // Declaring what is stored again tells nothing.
    CliRun again = p.Declare(p.Shown());
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.err, "");

    // The stored parameter: "&" marker, no "const " in the type, no " []" in the name.
    auto table = std::make_unique<TlmFunctionTable>();
    ASSERT_TRUE(LoadTlmFunctions((p.dir.path() / "P").string(), *table).ok());
    const TlmParameter& b = (*table)[1].parameters[2];
    EXPECT_EQ(b.typeText.Raw().substr(0, 5), "char ");
    EXPECT_EQ(b.passMarker.Raw().substr(0, 2), "& ");
    EXPECT_EQ(b.parameterName.Raw().substr(0, 2), "b ");
}

// Names the generated C++ would declare twice are stored as the windows store them; declare
// and check warn of each, and check counts them in its summary.
TEST(CliDeclare, DuplicateNamesAreStoredAndWarnedOfByDeclareAndCheck) {
    Project p;
    Json file = {
        {"functions",
         {{{"name", "write"},
           {"parameters", {{{"type", "int"}, {"name", "a"}}, {{"type", "int"}, {"name", "a"}}}}},
          {{"name", "Write"}},
          {{"name", "write"}}}},
        {"signals", {Clock(), {{"name", "ack"}}, {{"name", "ack"}}, {{"name", "Write"}}}}};
    CliRun run = p.Declare(file);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(p.Shown()["functions"].size(), 3u);
    const std::string functions =
        "2 functions are named write (rows 1 and 3): the generated transactor declares write "
        "more than once and does not compile; rename all but one";
    const std::string parameters = "write has 2 parameters named a (parameters 1 and 2): its "
                                   "generated declaration does not compile; rename all but one";
    const std::string ports = "2 ports are named ack (rows 2 and 3): the generated transactor "
                              "declares ack more than once and does not compile; rename all "
                              "but one";
    const std::string port = "the port Write has the name of the function Write: the generated "
                             "transactor class declares both and does not compile; rename one "
                             "of them";
    EXPECT_EQ(run.err,
              "kestrel-cli: warning: " + functions + "\nkestrel-cli: warning: " + parameters +
                  "\nkestrel-cli: warning: " + ports + "\nkestrel-cli: warning: " + port + "\n");

    // The template method translates no behaviour: the declarations are all check sees.
    ASSERT_EQ(Cli({"options", p.tp.string(), "--method", "template"}).code, 0);
    CliRun check = Cli({"check", p.tp.string()});
    EXPECT_EQ(check.code, 0) << check.err;
    const std::string input = (p.dir.path() / "P" / "Input").string();
    for (const std::string& line :
         {input + "/tlm_func.dat: warning: " + functions,
          input + "/tlm_func.dat: warning: " + parameters,
          input + "/rtl_sig.dat: warning: " + ports, input + "/rtl_sig.dat: warning: " + port})
        EXPECT_NE(check.err.find(line + "\n"), std::string::npos) << line << "\n" << check.err;
    std::size_t warnings = 0;
    for (std::size_t at = 0; (at = check.err.find(": warning: ", at)) != std::string::npos; ++at)
        ++warnings;
    EXPECT_GE(warnings, 4u);
    EXPECT_EQ(check.out,
              p.tp.string() + ": 0 error(s), " + std::to_string(warnings) + " warning(s)\n");
}

TEST(CliDeclare, RefusalsExitOneAndWriteNothing) {
    Project p;
    ASSERT_EQ(p.Declare({{"functions", {{{"name", "f"}}}}, {"signals", {Clock()}}}).code, 0);
    fs::path input = p.dir.path() / "P" / "Input";
    std::string tp = test::ReadBytes(p.tp);
    std::string functions = test::ReadBytes(input / "tlm_func.dat");
    std::string signals = test::ReadBytes(input / "rtl_sig.dat");

    Json manyFunctions = Json::array();
    for (int i = 0; i < 25; ++i) manyFunctions.push_back({{"name", "f" + std::to_string(i)}});
    // The 26th is refused for the count before its own faults (a void parameter) are seen.
    manyFunctions.push_back({{"name", "f25"}, {"parameters", {{{"name", "a"}}}}});
    Json manySignals = Json::array({Clock()});
    for (int i = 0; i < 25; ++i) manySignals.push_back({{"name", "s" + std::to_string(i)}});
    Json manyParameters = Json::array();
    for (int i = 0; i < 21; ++i)
        manyParameters.push_back({{"name", "p" + std::to_string(i)}, {"type", "int"}});

    struct Case {
        Json file;
        std::string message;
    };
    std::vector<Case> cases = {
        {{{"functions", manyFunctions}}, "Cannot have more than 25 Functions"},
        {{{"signals", manySignals}}, "Cannot have more than 25 Signals"},
        {{{"functions", {{{"name", "f"}, {"parameters", manyParameters}}}}},
         "Cannot have more than 20 parameters"},
        {{{"functions", {{{"name", ""}}}}}, "Enter Function Name"},
        {{{"functions", {{{"name", "f"}, {"parameters", {{{"name", "a"}}}}}}}},
         "void parameter not supported"},
        {{{"functions", {{{"name", "f"}, {"parameters", {{{"type", "int"}}}}}}}},
         "Enter Parameter Name"},
        {{{"signals", {Clock(), {{"name", ""}}}}}, "Enter Signal Name"},
        {{{"signals", {Clock(), {{"name", "d"}, {"init", " 01"}}}}},
         "Init value can contain only 1,0,X,Z"},
        {{{"signals", {{{"name", "d"}}}}},
         "Please declare a signal as Clock\nMake a Clock signal by clicking Add/Edit Command "
         "Buttons and Check the 'Clock Signal' Check box"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CliRun run = p.Declare(c.file);
        EXPECT_EQ(run.code, 1);
        // "<title>: <message>", then which entry of the file was refused.
        EXPECT_NE(run.err.find(": " + c.message + "\n"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("d.json"), std::string::npos) << run.err;
        EXPECT_EQ(test::ReadBytes(p.tp), tp);
        EXPECT_EQ(test::ReadBytes(input / "tlm_func.dat"), functions);
        EXPECT_EQ(test::ReadBytes(input / "rtl_sig.dat"), signals);
    }
    // A malformed file is a file error naming the file.
    test::WriteBytes(p.dir.path() / "bad.json", "{\"functions\": [");
    CliRun bad = Cli({"declare", p.tp.string(), (p.dir.path() / "bad.json").string()});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("bad.json"), std::string::npos) << bad.err;
    EXPECT_EQ(test::ReadBytes(input / "tlm_func.dat"), functions);
}

TEST(CliDeclare, LibraryItemsAreKept) {
    fs::path root = test::ConformanceDir();
    if (root.empty() || !fs::is_directory(root / "case-03" / "before"))
        GTEST_SKIP() << "no conformance cases beside the checkout";
    test::TempDir dir;
    fs::path tp = CopyProject(root / "case-03" / "before", dir.path() / "p");
    Json shown = Json::parse(Cli({"show", tp.string(), "--json"}).out);
    Json library;
    Json own = Json::array();
    for (const Json& f : shown["functions"]) (f["library"] ? library : own.emplace_back()) = f;
    ASSERT_TRUE(library.is_object());
    // Without library entries the library function follows the own ones.
    Json file = shown;
    file["functions"] = own;
    test::WriteBytes(dir.path() / "d.json", file.dump());
    ASSERT_EQ(Cli({"declare", tp.string(), (dir.path() / "d.json").string()}).code, 0);
    Json after = Json::parse(Cli({"show", tp.string(), "--json"}).out);
    ASSERT_EQ(after["functions"].size(), own.size() + 1);
    EXPECT_EQ(after["functions"].back(), library);
    // A library entry only marks the place; what it says is ignored.
    Json changed = library;
    changed["name"] = "Renamed";
    changed["parameters"] = Json::array();
    file["functions"] = Json::array({changed, own[0]});
    test::WriteBytes(dir.path() / "d.json", file.dump());
    ASSERT_EQ(Cli({"declare", tp.string(), (dir.path() / "d.json").string()}).code, 0);
    after = Json::parse(Cli({"show", tp.string(), "--json"}).out);
    ASSERT_EQ(after["functions"].size(), 2u);
    EXPECT_EQ(after["functions"][0], library);
    EXPECT_EQ(after["functions"][1]["name"], own[0]["name"]);
}

} // namespace
} // namespace kestrel
