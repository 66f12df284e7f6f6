// Damaged and awkward diagrams against golden files: for each tests/golden/fsm/<name>.asf,
// the problems the reader and the AsmL writer report (with the diagram line each concerns,
// as Generate logs and places them) and the namespace written all the same.
#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string Converted(const fs::path& diagram) {
    const std::string path = "/project/Input/" + diagram.filename().string();
    DiagramReading reading = ReadAsfDiagram(test::ReadBytes(diagram), path, "Read");
    FsmAsmlText out;
    out.diagramPaths.push_back(path);
    std::vector<DiagramProblem> problems = reading.problems;
    for (DiagramProblem& p : WriteFsmNamespace(reading.machine, "Read", "public Read ( ) ", 0, out))
        problems.push_back(std::move(p));

    std::string text = "=== problems\r\n";
    for (const DiagramProblem& p : problems)
        text += std::to_string(p.line) + ": ERROR: " + p.message + "\r\n";
    return text + "=== clean.asml\r\n" + out.text;
}

TEST(AsfGolden, DamagedDiagramsAreReportedAndStillConverted) {
    const fs::path dir = test::GoldenDir() / "fsm";
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".asf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        fs::path golden = entry.path();
        golden.replace_extension(".expected");
        EXPECT_TRUE(test::MatchesGolden(golden, Converted(entry.path())));
        ++cases;
    }
    EXPECT_GE(cases, 7);
}

} // namespace
} // namespace kestrel
