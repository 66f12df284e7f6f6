// The three file writers, full and template variants, against golden files, and the
// rules of names and paths inside them.
#include "codegen/DeclarationHelpers.h"
#include "codegen/InterfaceHeaderWriter.h"
#include "codegen/TransactorCppWriter.h"
#include "codegen/TransactorHeaderWriter.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

namespace kestrel {
namespace {

const LocalDateTime kNow{2026, 12, 4, 9, 51, 15, 5};

std::filesystem::path Golden(std::string_view name) {
    return test::GoldenDir() / "codegen" / name;
}

// Three functions and five signals, prepared as Generate prepares them.
PreparedTables SampleProject() {
    ProjectTables tables;
    sample::AddThreeFunctions(tables.functions);
    sample::AddFiveSignals(tables.signals);
    sample::SetPaths(tables.settings, "/home/designer/Proj/Output");
    sample::SetBanner(tables.options);
    PreparedTables prepared = TransactorView(tables);
    NormalizeInitValues(prepared.signals);
    return prepared;
}

// Hand-written section files (fixtures/codegen): read has all four with blank and comment lines,
// write has four empty files, ready has a last line without a line end.
std::vector<FunctionSections> SampleSections() {
    std::vector<FunctionSections> sections(3);
    for (std::size_t f : {0, 2}) {
        const std::string name = f == 0 ? "codegen/read" : "codegen/ready";
        sections[f] = {test::Fixture(name + ".dec"), test::Fixture(name + ".ini"),
                       test::Fixture(name + ".asm"), test::Fixture(name + ".upd")};
    }
    return sections;
}

// The template writers on the sample project are compared with their goldens by the
// Generate tests, through the tables stored on disk.
TEST(TemplateWriters, ProjectWithoutFunctionsOrSignals) {
    PreparedTables tables;
    sample::SetPaths(tables.settings, "/home/designer/Proj/Output");
    sample::SetBanner(tables.options);
    EXPECT_TRUE(test::MatchesGolden(Golden("empty_TLM_AIC.h"), WriteInterfaceHeader(tables, kNow)));
    EXPECT_TRUE(test::MatchesGolden(Golden("empty_Tran.h"), WriteTemplateHeader(tables, kNow)));
    EXPECT_TRUE(test::MatchesGolden(Golden("empty_Tran.cpp"), WriteTemplateCpp(tables, kNow)));
}

TEST(FullWriters, SplicesSectionFilesWithCommentBanner) {
    PreparedTables tables = SampleProject();
    tables.options.useCommentInHeaders = true;
    std::vector<FunctionSections> sections = SampleSections();
    EXPECT_TRUE(
        test::MatchesGolden(Golden("full_Tran.h"), WriteTransactorHeader(tables, kNow, sections)));
    EXPECT_TRUE(
        test::MatchesGolden(Golden("full_Tran.cpp"), WriteTransactorCpp(tables, kNow, sections)));
}

// Names and paths as typed, without any section text: every function still gets its
// fixed lines.
TEST(Writers, NamesAndPathsAsTheRulesSay) {
    PreparedTables tables = SampleProject();
    tables.settings.interfaceHeaderPath = "Iface.h";
    tables.settings.transactorHeaderPath = "C:\\work\\Bus_Tran.h";
    tables.settings.transactorClassName = " clsBus ";
    tables.settings.interfaceClassName = "clsIface  ";

    // The guards and includes from the last path parts; the header declares the class
    // names exactly as typed, the implementation trims the transactor class name.
    EXPECT_TRUE(test::MatchesGolden(Golden("named_TLM_AIC.h"), WriteInterfaceHeader(tables, kNow)));
    EXPECT_TRUE(
        test::MatchesGolden(Golden("named_Tran.h"), WriteTransactorHeader(tables, kNow, {})));
    EXPECT_TRUE(
        test::MatchesGolden(Golden("named_Tran.cpp"), WriteTransactorCpp(tables, kNow, {})));
}

TEST(Writers, PortDeclarations) {
    RtlSignal clock = sample::Signal("clk", 0, 1, 0, "0", true);
    EXPECT_EQ(PortDeclarationText(clock), "sc_in <sc_logic> clk ; //Clock Signal");
    RtlSignal vectorClock = sample::Signal("vclk", 1, 2, 0, "00", true);
    EXPECT_EQ(PortDeclarationText(vectorClock), "sc_in <sc_lv <2> > vclk ;");
    RtlSignal data = sample::Signal(" data ", 1, 8, 1, "0");
    EXPECT_EQ(PortDeclarationText(data), "sc_out <sc_lv <8> > data ;");
    RtlSignal valid = sample::Signal("valid", 2, 1, 1, "0");
    EXPECT_EQ(PortDeclarationText(valid), "sc_out <bool> valid ;");
}

} // namespace
} // namespace kestrel
