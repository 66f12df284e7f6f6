// kestrel-cli tlm2 end to end on a copy of MemReqAck: the proposal printed and kept, the module
// written, a refusal that changes nothing, show's section, generate writing the module again,
// and the exit status of each.
#include "CliRunner.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

TEST(CliTlm2, ProposesKeepsWritesAndGenerateWritesAgain) {
    TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    const std::string tp = CopiedExample(project);
    const fs::path mapping = project / "tlm2.json", module = project / "Output/Tran_tlm2.h";

    CliRun run = Cli({"tlm2", tp, "--dry-run"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(fs::exists(mapping));
    const std::string notes = run.out;

    run = Cli({"tlm2", tp});
    EXPECT_EQ(run.code, 0) << run.err;
    std::string transcript = "$ tlm2 --dry-run\n" + notes + "$ tlm2\n" + run.out;
    ASSERT_TRUE(fs::exists(module));
    const std::string kept = ReadBytes(mapping);

    // A refusal on stderr, exit 1, nothing changed; a missing project, exit 2.
    run = Cli({"tlm2", tp, "--address", "addr,address", "--size", "0x200"});
    EXPECT_EQ(run.code, 1);
    transcript += "$ tlm2 --address addr,address --size 0x200\n" + run.out + run.err;
    EXPECT_EQ(ReadBytes(mapping), kept);
    EXPECT_EQ(Cli({"tlm2", (dir.path() / "none.tp").string()}).code, 2);

    // The kept mapping is the starting point: only the size changes.
    run = Cli({"tlm2", tp, "--size", "128"});
    EXPECT_EQ(run.code, 0) << run.err;
    transcript += "$ tlm2 --size 128\n" + run.out;
    const std::string show = MaskedShow(tp, dir);
    transcript += "$ show (its end)\n" + show.substr(show.find("\nTLM-2.0 socket"));
    EXPECT_TRUE(Has(MaskedShow(tp, dir, true), "\"size\": \"0x80\",\n    \"sizeGiven\": true"));

    fs::remove(module);
    run = Cli({"generate", tp});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "wrote " + module.string() + "\n"));
    EXPECT_TRUE(fs::exists(module));
    EXPECT_TRUE(MatchesGolden(GoldenDir() / "cli/tlm2_MemReqAck.txt",
                              Masked(transcript, dir.str(), "<dir>")));

    // A damaged mapping: generate warns and keeps its status; show and tlm2 refuse the file.
    WriteBytes(mapping, "{\"write\": []}");
    run = Cli({"generate", tp});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(Has(run.err, "kestrel-cli: warning: TLM-2.0 socket not written: \"" +
                                 mapping.string() +
                                 "\" is damaged: \"write\" is missing or "
                                 "not an object\n"));
    EXPECT_EQ(Cli({"show", tp}).code, 2);
    EXPECT_EQ(Cli({"tlm2", tp}).code, 2);
}

} // namespace
} // namespace kestrel::test
