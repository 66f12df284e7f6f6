// kestrel-cli diagram show, set, check and asml. show --json then set with that JSON changes no
// byte of any repository diagram; set edits, adds and deletes by the model, converting UTF-8 and
// line breaks; bad models are refused with exit 2, the file and the entry named, and the diagram
// left as it was.
#include "CliRunner.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;

fs::path Example(const char* name) {
    return test::GoldenDir().parent_path().parent_path() / "examples/MemReqAck/Input" / name;
}

// A copy of the Read diagram in a fresh folder.
struct Copy {
    test::TempDir dir;
    std::string diagram = dir / "Read.asf";
    std::string model = dir / "model.json";
    Copy() { fs::copy_file(Example("Read.asf"), diagram); }
    nlohmann::json Show() {
        test::CliRun run = Cli({"diagram", "show", "--json", diagram});
        EXPECT_EQ(run.code, 0) << run.err;
        return nlohmann::json::parse(run.out);
    }
    test::CliRun Set(const std::string& json) {
        test::WriteBytes(model, json);
        return Cli({"diagram", "set", diagram, model});
    }
};

TEST(CliDiagram, ShowThenSetChangesNoByteOfAnyRepositoryDiagram) {
    const fs::path root = test::GoldenDir().parent_path().parent_path();
    std::size_t checked = 0;
    for (const fs::path& folder : {root / "examples", root / "tests/golden/fsm"})
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().extension() != ".asf") continue;
            test::TempDir dir;
            const std::string diagram = dir / "d.asf", model = dir / "m.json";
            fs::copy_file(entry.path(), diagram);
            test::CliRun show = Cli({"diagram", "show", "--json", diagram});
            if (show.code != 0) {
                EXPECT_EQ(show.code, 2);
                EXPECT_NE(show.err.find(diagram), std::string::npos) << show.err;
                continue; // not a diagram the reader reads
            }
            test::WriteBytes(model, show.out);
            test::CliRun set = Cli({"diagram", "set", diagram, model});
            EXPECT_EQ(set.code, 0) << entry.path() << set.err;
            EXPECT_TRUE(test::SameBytes(test::ReadBytes(entry.path()), test::ReadBytes(diagram)))
                << entry.path();
            ++checked;
        }
    EXPECT_GE(checked, 7u);
}

// Bytes that are no letters of the terminal's text travel through the JSON and back.
TEST(CliDiagram, OddBytesSurviveShowAndSet) {
    test::TempDir dir;
    const std::string diagram = dir / "odd.asf", model = dir / "m.json";
    const std::string bytes =
        std::string("VERSION=1.19\nOBJECTS\nS 3 0 1 E | 1,1\n") +
        "L 4 3 0 TEXT \"State Labels\" | 1,1 1 0 0 \"A\x81\xe9\t\x01\"\\n\"\n" +
        "A 5 3 0 TEXT \"Actions\" | 1,1 1 0 0 \"x\\\\ny\\nz\\\"\nEND";
    test::WriteBytes(diagram, bytes);
    test::CliRun show = Cli({"diagram", "show", "--json", diagram});
    ASSERT_EQ(show.code, 0) << show.err;
    nlohmann::json j = nlohmann::json::parse(show.out);
    EXPECT_EQ(j["states"][0]["name"], "A\u0081\u00e9\t\u0001\"\\n");
    EXPECT_EQ(j["actions"][0]["text"], "x\\\ny\nz\\");
    test::WriteBytes(model, show.out);
    test::CliRun set = Cli({"diagram", "set", diagram, model});
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(test::ReadBytes(diagram), bytes);
}

TEST(CliDiagram, ShowListsTheDiagramAsJsonAndAsText) {
    Copy c;
    nlohmann::json j = c.Show();
    ASSERT_EQ(j["states"].size(), 3u);
    EXPECT_EQ(j["states"][2],
              (nlohmann::json{
                  {"id", 30}, {"name", "DONE"}, {"kind", "trap"}, {"x", 100700}, {"y", 76000}}));
    EXPECT_EQ(j["reset"]["id"], 25);
    EXPECT_EQ(j["transitions"][2]["condition"], "ack = LOGIC_1");
    EXPECT_TRUE(j["transitions"][0]["condition"].is_null());
    EXPECT_EQ(j["transitions"][3]["priority"], 2);
    EXPECT_EQ(j["actions"][0]["text"], "addr := toLv ( address )\nwe := LOGIC_0\nreq := LOGIC_1");
    EXPECT_EQ(j["signals"][0], (nlohmann::json{{"id", 39}, {"name", "n"}, {"init", "0"}}));
    EXPECT_EQ(j["ports"][0], (nlohmann::json{{"id", 11}, {"name", "clk"}, {"direction", "in"}}));
    EXPECT_EQ(j["ports"][1]["direction"], "out");

    test::CliRun text = Cli({"diagram", "show", c.diagram});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.out.find("30 DONE (trap)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("36: WAIT_ACK (28) -> WAIT_ACK (28), priority 2"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("32: reset (25) -> REQUEST (26)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("when ack = LOGIC_1"), std::string::npos) << text.out;
    // The template's signature text, where the picture shows it.
    EXPECT_NE(text.out.find("Texts:\n  public Read (  address as Integer, data as Integer, waits "
                            "as Integer )  at 20700,261832\n"),
              std::string::npos)
        << text.out;

    for (const char* sub : {"show", "set"}) {
        test::CliRun help = Cli({"diagram", sub, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_NE(help.out.find("FILE"), std::string::npos) << help.out;
    }
}

TEST(CliDiagram, SetEditsAddsAndDeletesByTheModel) {
    Copy c;
    nlohmann::json j = c.Show();
    j["states"][0]["name"] = "Gr\xc3\xb6\xc3\x9f"
                             "e";                                 // UTF-8 on the command side
    j["transitions"][2]["condition"] = "ack = LOGIC_1\nor n > 9"; // a real line break
    j["states"].push_back({{"name", "EXTRA"}, {"kind", "default"}});
    j["transitions"].push_back({{"from", 30}, {"to", 30}, {"priority", 4095}});
    j["constants"].push_back({{"name", "MAXWAIT"}, {"value", "4"}});
    j["signals"] = nlohmann::json::array();
    test::CliRun set = c.Set(j.dump());
    ASSERT_EQ(set.code, 0) << set.err;

    const std::string bytes = test::ReadBytes(c.diagram);
    EXPECT_NE(bytes.find("\"Gr\xf6\xdf"
                         "e\"\r\n"),
              std::string::npos); // Windows-1252 in the file
    EXPECT_NE(bytes.find("\"ack = LOGIC_1\\nor n > 9\"\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("Signal"), std::string::npos);
    EXPECT_EQ(bytes.find("\"n\""), std::string::npos); // the signal's label went with it
    nlohmann::json after = c.Show();
    EXPECT_EQ(after["states"][0]["name"], "Gr\xc3\xb6\xc3\x9f"
                                          "e");
    EXPECT_EQ(after["states"][3]["kind"], "default");
    EXPECT_EQ(after["transitions"][4]["from"], 30);
    EXPECT_EQ(after["constants"][0]["value"], "4");
    EXPECT_EQ(after["constants"][0]["name"], "MAXWAIT");
}

TEST(CliDiagram, BadModelsAreRefusedAndLeaveTheFile) {
    Copy c;
    const std::string original = test::ReadBytes(c.diagram);
    nlohmann::json j = c.Show();
    struct Case {
        std::string json;
        std::string named; // what the message must name besides the file
    };
    auto with = [&](auto change) {
        nlohmann::json k = j;
        change(k);
        return k.dump();
    };
    std::vector<Case> cases = {
        {"{\"states\": [", c.model},
        {"[1, 2]", c.model},
        {with([](nlohmann::json& k) { k["states"][1]["name"] = 5; }), "states[1]"},
        {with([](nlohmann::json& k) { k["transitions"][0]["from"] = "25"; }), "transitions[0]"},
        {with([](nlohmann::json& k) { k["transitions"][1]["to"] = 999; }),
         "transitions[1] (id 33)"},
        {with([](nlohmann::json& k) { k["transitions"][1]["priority"] = 4096; }), "transitions[1]"},
        {with([](nlohmann::json& k) {
             k["transitions"].push_back({{"from", 26}, {"to", 28}, {"priority", -1}});
         }),
         "transitions[4] (new)"},
        {with([](nlohmann::json& k) { k["states"][0]["kind"] = "final"; }), "states[0]"},
        {with([](nlohmann::json& k) { k["actions"][1]["state"] = 25; }), "actions[1]"},
        {with([](nlohmann::json& k) { k["reset"] = nullptr; }), "transitions[0]"},
        {with([](nlohmann::json& k) { k["signals"][0]["init"] = "1 2"; }), "signals[0]"},
        {with([](nlohmann::json& k) { k["states"][0]["name"] = std::string(300, 'x'); }),
         "states[0]"},
        {with([](nlohmann::json& k) { k["states"][2]["name"] = "two\nlines"; }),
         "states[2] (id 30)"},
        {with([](nlohmann::json& k) { k["states"][0]["name"] = "\xe2\x82\xac\xe4\xb8\x80"; }),
         "states[0]"},
    };
    for (const Case& k : cases) {
        test::CliRun run = c.Set(k.json);
        EXPECT_EQ(run.code, 2) << k.json;
        EXPECT_NE(run.err.find(k.named), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_TRUE(run.err.find(c.model) != std::string::npos ||
                    run.err.find(c.diagram) != std::string::npos)
            << run.err;
        EXPECT_EQ(test::ReadBytes(c.diagram), original) << k.json;
    }
    test::CliRun missing = Cli({"diagram", "show", c.dir / "none.asf"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("none.asf"), std::string::npos);
}

// check and asml: the checks as compiler lines with the exit status of their errors, and
// the AsmL of Generate's FSM route for the function of a project.
// diagram initial points the reset transition at a state given by name or number; the
// listing marks the initial state, which the default kind is not.
TEST(CliDiagram, InitialPointsTheResetTransitionAtAState) {
    Copy c;
    EXPECT_NE(Cli({"diagram", "show", c.diagram}).out.find("26 REQUEST (state, initial)"),
              std::string::npos);
    test::CliRun set = Cli({"diagram", "initial", c.diagram, "WAIT_ACK"});
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "Initial state WAIT_ACK (28) saved to " + c.diagram + "\n");
    nlohmann::json j = c.Show();
    EXPECT_EQ(j["transitions"][0]["from"], 25);
    EXPECT_EQ(j["transitions"][0]["to"], 28);
    test::CliRun text = Cli({"diagram", "show", c.diagram});
    EXPECT_NE(text.out.find("28 WAIT_ACK (state, initial)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("26 REQUEST (state) at"), std::string::npos) << text.out;

    const std::string bytes = test::ReadBytes(c.diagram);
    test::CliRun again = Cli({"diagram", "initial", c.diagram, "28"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out,
              "WAIT_ACK (28) is the initial state already: " + c.diagram + " unchanged\n");
    test::CliRun unknown = Cli({"diagram", "initial", c.diagram, "IDLE"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "kestrel-cli: " + c.diagram + ": there is no state IDLE\n");
    EXPECT_EQ(test::ReadBytes(c.diagram), bytes);
}

TEST(CliDiagram, CheckAndAsml) {
    Copy c;
    // The example's generated files are named relative to it, which every command warns of.
    test::CopyTree(test::GoldenDir().parent_path().parent_path() / "examples/MemReqAck",
                   c.dir.path() / "MemReqAck");
    const std::string project = c.dir / "MemReqAck/MemReqAck.tp";
    ASSERT_EQ(Cli({"settings", project, "--here"}).code, 0);
    test::CliRun clean =
        Cli({"diagram", "check", c.diagram, "--project", project, "--function", "Read"});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.out, c.diagram + ": 0 error(s), 0 warning(s)\n");

    // An action of the initial state that the translator refuses, and a state with no way in.
    nlohmann::json model = c.Show();
    const int first = model["states"][0]["id"];
    model["actions"].push_back({{"state", first}, {"text", "nosuchsignal := 1"}});
    model["states"].push_back({{"name", "Stray"}, {"kind", "state"}});
    ASSERT_EQ(c.Set(model.dump()).code, 0);
    test::CliRun alone = Cli({"diagram", "check", c.diagram});
    EXPECT_EQ(alone.code, 0) << alone.err; // without the project only the warnings show
    EXPECT_NE(alone.err.find(c.diagram + ":"), std::string::npos);
    EXPECT_NE(alone.err.find(": warning: State \"Stray\" cannot be reached"), std::string::npos)
        << alone.err;
    test::CliRun full =
        Cli({"diagram", "check", c.diagram, "--project", project, "--function", "2"});
    EXPECT_EQ(full.code, 1) << full.err;
    EXPECT_EQ(full.err.find(c.diagram + ":"), 0u) << full.err;
    EXPECT_NE(full.err.find(": error: "), std::string::npos) << full.err;
    EXPECT_LT(full.err.find(": error: "), full.err.find(": warning: ")) << full.err;
    EXPECT_NE(full.out.find(": 1 error(s), 2 warning(s)"), std::string::npos) << full.out;

    // With the project, also the warnings check gives for the function's AsmL, at the
    // diagram line it came from: here a part of a port written.
    model["actions"].back()["text"] = "addr ( 3 ) := LOGIC_1";
    ASSERT_EQ(c.Set(model.dump()).code, 0);
    test::CliRun linted =
        Cli({"diagram", "check", c.diagram, "--project", project, "--function", "Read"});
    EXPECT_EQ(linted.code, 0) << linted.err;
    EXPECT_NE(linted.err.find(": warning: addr ( 3 ) := ... becomes \"addr ( 3 ).write( ... )\""),
              std::string::npos)
        << linted.err;
    EXPECT_EQ(linted.err.rfind(c.diagram + ":", 0), 0u) << linted.err;

    test::CliRun asml = Cli({"diagram", "asml", Example("Read.asf").string(), "--project", project,
                             "--function", "Read"});
    EXPECT_EQ(asml.code, 0) << asml.err;
    EXPECT_EQ(asml.out.rfind("namespace nsRead\n", 0), 0u) << asml.out;
    EXPECT_NE(asml.out.find("public Read ("), std::string::npos);

    EXPECT_EQ(Cli({"diagram", "asml", c.diagram, "--project", project, "--function", "Nope"}).code,
              2);
    EXPECT_EQ(Cli({"diagram", "check", c.diagram, "--project", project}).code, 2);
    EXPECT_EQ(Cli({"diagram", "check", "--help"}).code, 0);
}

// picture: PNG or SVG drawn by the desktop program without a screen; a diagram that
// cannot be read is named, exit 2, and nothing is written.
TEST(CliDiagram, PictureDrawsPngAndSvg) {
    if (!fs::exists(test::BinDir() / "kestrel")) GTEST_SKIP() << "no desktop program built";
    Copy c;
    const std::string png = c.dir / "d.png", svg = c.dir / "d.svg", none = c.dir / "none.png";
    test::CliRun run = Cli({"diagram", "picture", c.diagram, png});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "Picture written to " + png + "\n");
    EXPECT_EQ(test::ReadBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_EQ(Cli({"diagram", "picture", c.diagram, svg}).code, 0);
    const std::string drawing = test::ReadBytes(svg);
    EXPECT_NE(drawing.find("<svg"), std::string::npos);
    EXPECT_NE(drawing.find("WAIT_ACK"), std::string::npos); // a state's name is drawn

    test::WriteBytes(c.diagram, "not a diagram");
    run = Cli({"diagram", "picture", c.diagram, none});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err.rfind("kestrel-cli: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.diagram), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(none));
}

} // namespace
} // namespace kestrel
