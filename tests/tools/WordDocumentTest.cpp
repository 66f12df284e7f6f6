// Reading the AsmL text of Office Open XML documents: paragraphs of the style AsmL in
// document order with their runs, tabs and breaks as Word and Writer save them, and the
// documents that must be refused with a reason.
#include "WordDocument.h"
#include "AsmlDocument.h"

#include "TestSupport.h"
#include "ZipParts.h"

namespace kestrel {
namespace {

std::string AsmlParagraph(std::string_view runs, std::string_view style = "AsmL") {
    return "<w:p w:rsidR=\"00A1\"><w:pPr><w:pStyle w:val=\"" + std::string(style) +
           "\"/><w:rPr><w:lang w:val=\"en-US\"/></w:rPr></w:pPr>" + std::string(runs) + "</w:p>";
}

std::string TextRun(std::string_view text) {
    return "<w:r><w:rPr><w:rFonts w:ascii=\"Courier New\"/></w:rPr><w:t xml:space=\"preserve\">" +
           std::string(text) + "</w:t></w:r>";
}

// The body in tests/fixtures/tools/asml_paragraphs.xml: a heading; AsmL lines that Word
// split into several runs with proofing marks and bookmarks between; an empty paragraph;
// tabs and a line break typed inside one paragraph, with tab stops that are no text; a
// table cell; tracked changes (inserted text counts, deleted does not), a field (its code
// does not count, its result does) and a hyperlink; paragraphs of another style or none;
// curly quotes and non-breaking spaces from typing aids, Latin letters that become
// Windows-1252 and others that become '?'.
TEST(WordDocumentText, ParagraphsOfTheAsmlStyleInDocumentOrder) {
    DocumentText text = WordDocumentText(
        test::WordPackage(test::ReadBytes(test::FixtureDir() / "tools/asml_paragraphs.xml")));
    EXPECT_EQ(text.error, "");
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "tools/asml_paragraphs.txt", text.text));
}

TEST(WordDocumentText, FindsTheStyleByNameAndAnyNamespacePrefix) {
    // A word processor that gave the style another id keeps its name.
    std::string body =
        "<w:p><w:pPr><w:pStyle w:val=\"P5\"/></w:pPr>" + TextRun("by name") + "</w:p>";
    DocumentText byName = WordDocumentText(test::WordPackage(body, {{"P5", "AsmL"}}));
    EXPECT_EQ(byName.error, "");
    EXPECT_EQ(byName.text, "by name\r\n");
    DocumentText otherName = WordDocumentText(test::WordPackage(body, {{"P5", "Code"}}));
    EXPECT_EQ(otherName.error, "the document holds no paragraph in the paragraph style AsmL");

    // The same document with the namespace bound to another prefix, and the main part
    // somewhere else, as the package relationships say.
    test::Parts parts = test::PartsOf(test::WordPackage(""));
    parts.erase("word/document.xml");
    parts["_rels/.rels"] = test::ReadBytes(test::FixtureDir() / "tools/moved_rels.xml");
    parts["text/main.xml"] = test::ReadBytes(test::FixtureDir() / "tools/moved_main.xml");
    DocumentText moved = WordDocumentText(test::ZipOf(parts));
    EXPECT_EQ(moved.error, "");
    EXPECT_EQ(moved.text, "prefixed\r\n");
}

TEST(WordDocumentText, RefusesWhatIsNoReadableWordDocument) {
    const std::string good = test::WordPackage(AsmlParagraph(TextRun("x := 1")));
    ASSERT_EQ(WordDocumentText(good).error, "");

    // Truncated: the archive's directory is missing.
    EXPECT_EQ(WordDocumentText(good.substr(0, good.size() / 2))
                  .error.rfind("the document is a damaged zip archive", 0),
              0u);
    // A flipped byte inside the compressed main document fails its checksum or inflation.
    std::string flipped = good;
    std::size_t at = flipped.find("word/document.xml") + 40;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x55);
    EXPECT_NE(WordDocumentText(flipped).error, "");

    test::Parts noMain = test::PartsOf(good);
    noMain.erase("word/document.xml");
    EXPECT_EQ(WordDocumentText(test::ZipOf(noMain)).error,
              "the zip archive holds no word-processing document (no part word/document.xml)");

    test::Parts broken = test::PartsOf(good);
    broken["word/document.xml"] = "<w:document xmlns:w=\"x\"><w:body>";
    EXPECT_EQ(WordDocumentText(test::ZipOf(broken))
                  .error.rfind("the document's text (word/document.xml) is not well-formed XML", 0),
              0u);

    test::Parts spreadsheet = test::PartsOf(good);
    spreadsheet["word/document.xml"] = "<workbook><sheets/></workbook>";
    EXPECT_EQ(WordDocumentText(test::ZipOf(spreadsheet)).error,
              "the part word/document.xml is not a word-processing document");

    EXPECT_EQ(WordDocumentText(test::WordPackage("<w:p><w:r><w:t>prose</w:t></w:r></w:p>")).error,
              "the document holds no paragraph in the paragraph style AsmL");

    // Hostile nesting is refused, not walked into the stack's end.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<w:hyperlink>";
    for (int i = 0; i < 100000; ++i) deep += "</w:hyperlink>";
    EXPECT_EQ(WordDocumentText(test::WordPackage(AsmlParagraph(deep))).error,
              "the document's text (word/document.xml) is nested more than 200 elements deep");
    std::string deepTables;
    for (int i = 0; i < 100000; ++i) deepTables += "<w:tbl><w:tr><w:tc>";
    for (int i = 0; i < 100000; ++i) deepTables += "</w:tc></w:tr></w:tbl>";
    EXPECT_EQ(WordDocumentText(test::WordPackage(deepTables)).error,
              "the document's text (word/document.xml) is nested more than 200 elements deep");

    // A main document that inflates past the limit is not read whole.
    test::Parts huge = test::PartsOf(good);
    huge["word/document.xml"] = std::string((64u << 20) + 1, ' ');
    EXPECT_EQ(WordDocumentText(test::ZipOf(huge)).error,
              "the document is damaged: the part word/document.xml is larger than 64 MiB");
}

TEST(ReadAsmlDocument, TellsTheFormatByContent) {
    EXPECT_EQ(ReadAsmlDocument(test::WordPackage(AsmlParagraph(TextRun("a")))).text, "a\r\n");
    EXPECT_EQ(ReadAsmlDocument(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10)).error,
              "this is an old binary Word document (.doc), which cannot be read; save it as a "
              "Word document (.docx) and assign that");
    EXPECT_EQ(ReadAsmlDocument("{\\rtf1\\ansi x}").error,
              "this is an RTF document, which cannot be read; save it as a Word document (.docx) "
              "and assign that");
    EXPECT_EQ(ReadAsmlDocument("PK\x03\x04 not really")
                  .error.rfind("the document is a damaged zip archive", 0),
              0u);
}

} // namespace
} // namespace kestrel
