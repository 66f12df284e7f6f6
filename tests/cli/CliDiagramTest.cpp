// kestrel-cli diagram show, set, initial, check, asml and picture. show --json then set with
// that JSON changes no byte of any repository diagram; set edits, adds and deletes by the
// model, converting UTF-8 and line breaks; bad models are refused with exit 2, the file and
// the entry named, and the diagram left as it was.
#include "CliRunner.h"

#include <nlohmann/json.hpp>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::CliRun;
using test::Has;
using Json = nlohmann::json;

const fs::path kExample = fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck";

// A diagram (the example's Read diagram) in a fresh folder.
struct Copy {
    test::TempDir dir;
    std::string diagram = dir / "Read.asf";
    std::string model = dir / "model.json";
    explicit Copy(const fs::path& from = kExample / "Input/Read.asf") {
        fs::copy_file(from, diagram);
    }
    CliRun ShowRun() { return Cli({"diagram", "show", "--json", diagram}); }
    Json Show() {
        CliRun run = ShowRun();
        EXPECT_EQ(run.code, 0) << run.err;
        return Json::parse(run.out);
    }
    CliRun Set(const std::string& json) {
        test::WriteBytes(model, json);
        return Cli({"diagram", "set", diagram, model});
    }
    std::string Listing() { return Cli({"diagram", "show", diagram}).out; }
};

TEST(CliDiagram, ShowThenSetChangesNoByteOfAnyRepositoryDiagram) {
    std::size_t checked = 0;
    for (const fs::path& folder : {fs::path(KESTREL_EXAMPLES_DIR), test::GoldenDir() / "fsm"})
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().extension() != ".asf") continue;
            Copy c(entry.path());
            CliRun show = c.ShowRun();
            if (show.code != 0) { // not a diagram the reader reads
                EXPECT_EQ(show.code, 2);
                EXPECT_TRUE(Has(show.err, c.diagram));
                continue;
            }
            EXPECT_EQ(c.Set(show.out).code, 0) << entry.path();
            EXPECT_TRUE(test::SameBytes(test::ReadBytes(entry.path()), test::ReadBytes(c.diagram)))
                << entry.path();
            ++checked;
        }
    EXPECT_GE(checked, 7u);
}

// The example's Read diagram as JSON and as the text listing (with the template's signature
// text where the picture shows it).
TEST(CliDiagram, ShowListsTheDiagramAsJsonAndAsText) {
    Copy c;
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/Read_show.json", c.ShowRun().out));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/Read_show.txt", c.Listing()));
}

TEST(CliDiagram, SetEditsAddsAndDeletesByTheModel) {
    Copy c;
    Json j = c.Show();
    j["states"][0]["name"] = "Gr\xc3\xb6\xc3\x9f"
                             "e";                                 // UTF-8 on the command side
    j["transitions"][2]["condition"] = "ack = LOGIC_1\nor n > 9"; // a real line break
    j["states"].push_back({{"name", "EXTRA"}, {"kind", "default"}});
    j["transitions"].push_back({{"from", 30}, {"to", 30}, {"priority", 4095}});
    j["constants"].push_back({{"name", "MAXWAIT"}, {"value", "4"}});
    j["signals"] = Json::array();
    CliRun set = c.Set(j.dump());
    ASSERT_EQ(set.code, 0) << set.err;
    const std::string bytes = test::ReadBytes(c.diagram);
    EXPECT_TRUE(Has(bytes, "\"Gr\xf6\xdf"
                           "e\"\r\n")); // Windows-1252 in the file
    EXPECT_TRUE(Has(bytes, "\"ack = LOGIC_1\\nor n > 9\"\r\n"));
    EXPECT_FALSE(Has(bytes, "Signal"));
    EXPECT_FALSE(Has(bytes, "\"n\"")); // the signal's label went with it
    // Every change reads back: the listing of the edited diagram.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/Read_set.txt", c.Listing()));
}

TEST(CliDiagram, BadModelsAreRefusedAndLeaveTheFile) {
    Copy c;
    const std::string original = test::ReadBytes(c.diagram);
    const Json j = c.Show();
    struct Case {
        std::string pointer; // where the model is changed ("" for a whole text)
        Json value;
        std::string named; // what the message must name besides the file
    };
    // The edit rules themselves (priorities, name lengths, signal values) are the core's
    // (tests/core/fsm); these are the model's own faults and one edit refusal.
    const std::vector<Case> cases = {
        {"", "{\"states\": [", c.model},
        {"", "[1, 2]", c.model},
        {"/states/1/name", 5, "states[1]"},
        {"/transitions/0/from", "25", "transitions[0]"},
        {"/transitions/1/to", 999, "transitions[1] (id 33)"},
        {"/transitions/-", {{"from", 26}, {"to", 28}, {"priority", -1}}, "transitions[4] (new)"},
        {"/states/0/kind", "final", "states[0]"},
        {"/actions/1/state", 25, "actions[1]"},
        {"/reset", nullptr, "transitions[0]"},
        {"/states/2/name", "two\nlines", "states[2] (id 30)"},
        {"/states/0/name", "\xe2\x82\xac\xe4\xb8\x80", "states[0]"},
    };
    for (const Case& k : cases) {
        Json model = j;
        if (!k.pointer.empty()) model[Json::json_pointer(k.pointer)] = k.value;
        CliRun run = c.Set(k.pointer.empty() ? k.value.get<std::string>() : model.dump());
        EXPECT_EQ(run.code, 2) << k.pointer;
        EXPECT_TRUE(Has(run.err, k.named));
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_TRUE(Has(run.err, c.model) || Has(run.err, c.diagram));
        EXPECT_EQ(test::ReadBytes(c.diagram), original) << k.pointer;
    }
    CliRun missing = Cli({"diagram", "show", c.dir / "none.asf"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(Has(missing.err, "none.asf"));
}

// diagram initial points the reset transition at a state given by name or number; the
// listing marks the initial state, which the default kind is not.
TEST(CliDiagram, InitialPointsTheResetTransitionAtAState) {
    Copy c;
    EXPECT_TRUE(Has(c.Listing(), "26 REQUEST (state, initial)"));
    CliRun set = Cli({"diagram", "initial", c.diagram, "WAIT_ACK"});
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "Initial state WAIT_ACK (28) saved to " + c.diagram + "\n");
    // The reset transition (25) now goes to 28, which the listing marks, and REQUEST is unmarked.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/Read_initial.txt", c.Listing()));

    const std::string bytes = test::ReadBytes(c.diagram);
    CliRun again = Cli({"diagram", "initial", c.diagram, "28"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out,
              "WAIT_ACK (28) is the initial state already: " + c.diagram + " unchanged\n");
    CliRun unknown = Cli({"diagram", "initial", c.diagram, "IDLE"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "kestrel-cli: " + c.diagram + ": there is no state IDLE\n");
    EXPECT_EQ(test::ReadBytes(c.diagram), bytes);
}

// check and asml: the checks as compiler lines with the exit status of their errors, and
// the AsmL of Generate's FSM route for the function of a project.
TEST(CliDiagram, CheckAndAsml) {
    Copy c;
    const std::string project = test::CopiedExample(c.dir.path() / "MemReqAck");
    CliRun clean = Cli({"diagram", "check", c.diagram, "--project", project, "--function", "Read"});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.out, c.diagram + ": 0 error(s), 0 warning(s)\n");

    // An action of the initial state that the translator refuses, and a state with no way in.
    Json model = c.Show();
    model["actions"].push_back(
        {{"state", model["states"][0]["id"]}, {"text", "nosuchsignal := 1"}});
    model["states"].push_back({{"name", "Stray"}, {"kind", "state"}});
    ASSERT_EQ(c.Set(model.dump()).code, 0);
    CliRun alone = Cli({"diagram", "check", c.diagram});
    EXPECT_EQ(alone.code, 0) << alone.err; // without the project only the warnings show
    CliRun full = Cli({"diagram", "check", c.diagram, "--project", project, "--function", "2"});
    EXPECT_EQ(full.code, 1) << full.err;
    // Compiler lines at the diagram, the errors before the warnings; then the summary.
    EXPECT_TRUE(test::MatchesGolden(
        test::GoldenDir() / "cli/Read_check.txt",
        test::Masked(alone.err + "--\n" + full.err + "--\n" + full.out, c.dir.str(), "<dir>")));

    // With the project, also the warnings check gives for the function's AsmL, at the
    // diagram line it came from: here a part of a port written.
    model["actions"].back()["text"] = "addr ( 3 ) := LOGIC_1";
    ASSERT_EQ(c.Set(model.dump()).code, 0);
    CliRun linted =
        Cli({"diagram", "check", c.diagram, "--project", project, "--function", "Read"});
    EXPECT_EQ(linted.code, 0) << linted.err;
    EXPECT_TRUE(
        Has(linted.err, ": warning: addr ( 3 ) := ... becomes \"addr ( 3 ).write( ... )\""));
    EXPECT_TRUE(linted.err.starts_with(c.diagram + ":")) << linted.err;

    CliRun asml = Cli({"diagram", "asml", (kExample / "Input/Read.asf").string(), "--project",
                       project, "--function", "Read"});
    EXPECT_EQ(asml.code, 0) << asml.err;
    EXPECT_TRUE(asml.out.starts_with("namespace nsRead\n")) << asml.out;
    EXPECT_TRUE(Has(asml.out, "public Read ("));

    EXPECT_EQ(Cli({"diagram", "asml", c.diagram, "--project", project, "--function", "Nope"}).code,
              2);
    EXPECT_EQ(Cli({"diagram", "check", c.diagram, "--project", project}).code, 2);
    for (const char* sub : {"show", "set", "check"}) {
        CliRun help = Cli({"diagram", sub, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(Has(help.out, "FILE"));
    }
}

// picture: PNG or SVG drawn by the desktop program without a screen; a diagram that
// cannot be read is named, exit 2, and nothing is written.
TEST(CliDiagram, PictureDrawsPngAndSvg) {
    if (!fs::exists(test::BinDir() / "kestrel")) GTEST_SKIP() << "no desktop program built";
    Copy c;
    const std::string png = c.dir / "d.png", svg = c.dir / "d.svg", none = c.dir / "none.png";
    CliRun run = Cli({"diagram", "picture", c.diagram, png});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Picture written to " + png + "\n");
    EXPECT_EQ(test::ReadBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_EQ(Cli({"diagram", "picture", c.diagram, svg}).code, 0);
    const std::string drawing = test::ReadBytes(svg);
    EXPECT_TRUE(Has(drawing, "<svg") && Has(drawing, "WAIT_ACK")); // a state's name is drawn

    test::WriteBytes(c.diagram, "not a diagram");
    run = Cli({"diagram", "picture", c.diagram, none});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.starts_with("kestrel-cli: ") && Has(run.err, c.diagram)) << run.err;
    EXPECT_FALSE(fs::exists(none));
}

} // namespace
} // namespace kestrel
