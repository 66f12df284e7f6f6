// Replays the shared template cases: each project is copied to the folder it was made
// at, then the AsmL template and every function's ASF template are written and compared
// byte for byte; a library function must be refused and get no file.
#include "asml/AsmlTemplate.h"
#include "fsm/AsfTemplate.h"

#include "TestSupport.h"

#include "model/ProjectTables.h"

#include <fstream>
#include <map>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::ReadKeyValues;

// A converter that only leaves a document behind.
class StubConverter final : public ProcessRunner {
public:
    ProcessOutcome Run(const std::string&, const std::vector<std::string>& args,
                       std::chrono::milliseconds) override {
        test::WriteBytes(args.at(1), "document");
        return ProcessOutcome{true, false, 0, {}};
    }
};

// "12/4/2026" as the clock of the case.
LocalDateTime CaseDate(const std::string& text) {
    LocalDateTime date;
    std::sscanf(text.c_str(), "%d/%d/%d", &date.month, &date.day, &date.year);
    return date;
}

TEST(TemplateConformance, AsmlAndAsfTemplatesMatchByteForByte) {
    std::vector<fs::path> cases = test::ConformanceCases("templates-");
    if (cases.empty()) GTEST_SKIP() << "no template cases found";
    for (const fs::path& dir : cases) {
        SCOPED_TRACE(dir.filename().string());
        const FixedClock clock(CaseDate(ReadKeyValues(dir / "case.txt")["date"]));
        const fs::path project = test::PlaceCaseProject(dir);
        ASSERT_FALSE(project.empty());
        const std::string folder = project.string();

        StubConverter stub;
        AsmlAssignment asml;
        CommandOutcome made = GenerateAsmlTemplate(folder, folder + "/Temp/spec.doc", asml,
                                                   DocumentConverter{"docgen", &stub});
        ASSERT_TRUE(made.ok()) << made.status.message();
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(dir / "expected/template.asml"),
                                    test::ReadBytes(project / "Temp/template.asml")));

        TlmFunctionTable functions;
        ASSERT_TRUE(LoadTlmFunctions(folder, functions).ok());
        for (int f = 1; f <= functions.count; ++f) {
            const std::string name = functions[f].functionName.Text();
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%02d_", f);
            const std::string fileName = prefix + name + ".asf";
            SCOPED_TRACE(fileName);
            const fs::path expected = dir / "expected" / fileName;
            const std::string chosen = folder + "/Temp/" + fileName;
            AsfAssignment asf;
            AsfTemplateOutcome outcome = GenerateAsfTemplate(folder, f, chosen, clock, asf);
            if (fs::exists(expected)) {
                ASSERT_TRUE(outcome.ok()) << outcome.status.message();
                EXPECT_TRUE(test::SameBytes(test::ReadBytes(expected), test::ReadBytes(chosen)));
            } else {
                EXPECT_TRUE(functions[f].isLibrary);
                ASSERT_TRUE(outcome.refusal.has_value());
                EXPECT_EQ(outcome.refusal->text, name + "() is a Library function.\r\n"
                                                        "No need to draw FSM for this function.");
                EXPECT_FALSE(fs::exists(chosen));
            }
        }
        test::RemoveTree(project);
    }
}

} // namespace
} // namespace kestrel
