// The statement translator on hand-written sections against golden files: every line
// kind, enumerations, pending comments and block tracking, and every error on the line
// that causes it.
#include "TestSupport.h"
#include "TranslatorHarness.h"

#include "translator/ExpressionTranslator.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Errors;
using test::SampleRun;

std::string SectionsText(const test::TranslatedSection& got, std::string_view function,
                         const ClockSelection& clock) {
    std::string f(function);
    return "=== " + f + ".dec\r\n" + got.dec + "=== " + f + ".ini\r\n" + got.ini + "=== " + f +
           ".asm\r\n" + got.behaviour + "=== " + f + ".upd\r\n" + got.upd + "=== log\r\n" +
           got.log + "=== clock\r\n" + clock.clockSignalName +
           (clock.clockOnPositiveEdge ? " posedge" : " negedge") + "\r\n";
}

// Translates tests/golden/translator/<name>.asml as function `slot` and compares the
// sections, the log and the clock with <name>.expected.
void CheckGolden(std::string_view name, int slot) {
    SCOPED_TRACE(std::string(name));
    SampleRun sample;
    fs::path dir = test::GoldenDir() / "translator";
    std::string input = test::ReadBytes(dir / (std::string(name) + ".asml"));
    ASSERT_FALSE(input.empty());
    test::TranslatedSection got = test::TranslateSectionText(sample.run, slot, input);
    std::string function = sample.run.tables.functions[slot].functionName.Text();
    EXPECT_TRUE(test::MatchesGolden(dir / (std::string(name) + ".expected"),
                                    SectionsText(got, function, sample.session.clock)));
}

// Every line kind, enumerations, pending text and block tracking, and every error of the
// line and expression translators on the line that causes it with what is written all
// the same.
TEST(StatementTranslatorGolden, WholeSections) {
    const std::pair<std::string_view, int> cases[] = {
        {"line_kinds", 1}, {"enumerations", 2}, {"pending_and_blocks", 1}, {"errors_bad", 1}};
    for (const auto& [name, slot] : cases) CheckGolden(name, slot);
}

// Short sections, each translated in a fresh run: "=== <function slot> <what it shows>".
TEST(StatementTranslatorGolden, ShortSections) {
    fs::path dir = test::GoldenDir() / "translator";
    const auto sections = test::ReadSections(test::ReadBytes(dir / "statements.asml"));
    ASSERT_FALSE(sections.empty());
    std::string listed;
    for (const auto& [title, body] : sections) {
        SampleRun sample;
        const int slot = std::stoi(title);
        test::TranslatedSection got = test::TranslateLines(sample.run, slot, body);
        listed += "=== " + title + "\r\n" +
                  SectionsText(got, sample.run.tables.functions[slot].functionName.Text(),
                               sample.session.clock);
    }
    EXPECT_TRUE(test::MatchesGolden(dir / "statements.expected", listed));
}

} // namespace
} // namespace kestrel
