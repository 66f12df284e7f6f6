// kestrel-docgen: the template text as it is read (title, author, headings, AsmL lines
// with their blanks), the document parts it writes, and the program with its exit
// status, messages and the document Word reading takes back.
#include "AsmlDocument.h"
#include "AsmlTemplateDocument.h"
#include "WordDocument.h"
#include "WordDocumentWriter.h"

#include "TestSupport.h"
#include "ZipParts.h"

#include <pugixml.hpp>

#include <cstdlib>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A template as the core writes it: a title with a Windows-1252 letter, a heading, and an
// AsmL section with blank lines, a trailing blank and markup characters.
const std::string kTemplate = test::ReadBytes(test::FixtureDir() / "tools/template.asml");

TEST(ReadAsmlTemplate, RefusesTextThatIsNoTemplate) {
    TemplateContent content;
    // A title with "<" (the writer does not escape table texts) breaks the XML.
    std::string broken = kTemplate;
    broken.replace(broken.find("Caf"), 3, "A<B");
    Status s = ReadAsmlTemplate(broken, "/p/Temp/template.asml", content);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(
        s.message().rfind("/p/Temp/template.asml: line 4: not a well-formed AsmL template (", 0),
        0u);

    // A lone "&" is taken as it stands.
    std::string ampersand = kTemplate;
    ampersand.replace(ampersand.find("Ada"), 3, "A & B");
    ASSERT_TRUE(ReadAsmlTemplate(ampersand, "x.asml", content).ok());
    EXPECT_EQ(content.author, "A & B");

    Status other = ReadAsmlTemplate("<html><body/></html>", "x.asml", content);
    EXPECT_EQ(other.message(), "x.asml: not an AsmL template (its root element is not <document>)");
    EXPECT_FALSE(ReadAsmlTemplate("", "x.asml", content).ok());
}

// The template as it is read (the title trimmed and in UTF-8, the author, the heading, the
// AsmL lines with their blanks) shows in the document made from it.
TEST(MakeWordDocument, PackagePropertiesStylesAndParagraphs) {
    TemplateContent content;
    ASSERT_TRUE(ReadAsmlTemplate(kTemplate, "template.asml", content).ok());
    std::string bytes;
    ASSERT_TRUE(MakeWordDocument(content, bytes).ok());
    test::Parts parts = test::PartsOf(bytes);
    for (const char* name :
         {"[Content_Types].xml", "_rels/.rels", "docProps/core.xml", "docProps/app.xml",
          "word/_rels/document.xml.rels", "word/styles.xml", "word/document.xml"})
        EXPECT_EQ(parts.count(name), 1u) << name;

    // The title and author in the package properties; the paragraph style AsmL in Courier New.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "tools/docgen_core.xml",
                                    parts["docProps/core.xml"]));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "tools/docgen_styles.xml",
                                    parts["word/styles.xml"]));

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(parts["word/document.xml"].c_str(),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    std::string paragraphs; // "style|text|" lines
    for (pugi::xml_node p : doc.child("w:document").child("w:body").children("w:p")) {
        paragraphs += std::string(p.child("w:pPr").child("w:pStyle").attribute("w:val").value());
        paragraphs += "|";
        for (pugi::xpath_node t : p.select_nodes(".//w:t")) paragraphs += t.node().child_value();
        paragraphs += "|\n";
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "tools/docgen_paragraphs.txt", paragraphs));
    // Leading and trailing blanks survive any reader: every text says so.
    for (pugi::xpath_node t : doc.select_nodes("//w:t"))
        EXPECT_STREQ(t.node().attribute("xml:space").value(), "preserve");

    // The same template gives the same bytes.
    std::string again;
    ASSERT_TRUE(MakeWordDocument(content, again).ok());
    EXPECT_EQ(again, bytes);
}

TEST(DocgenProgram, WritesADocumentThatReadsBackAsTheTemplatesSections) {
    test::TempDir dir;
    const std::string docgen = (test::BinDir() / "kestrel-docgen").string() + " ";
    const std::string extract = (test::BinDir() / "kestrel-docextract").string() + " -cc ";
    // The exit status of a command line and its error output.
    auto run = [&](const std::string& commandLine) {
        int raw = std::system((commandLine + " 2>" + (dir / "stderr.txt")).c_str());
        return std::pair{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
                         test::ReadBytes(dir / "stderr.txt")};
    };
    test::WriteBytes(dir / "template.asml", kTemplate);
    const auto [made, madeErrors] = run(docgen + dir / "template.asml " + dir / "out.doc");
    ASSERT_EQ(made, 0) << madeErrors;
    // The document's AsmL paragraphs give the same text as the template's own sections.
    DocumentText fromDocument = ReadAsmlDocument(test::ReadBytes(dir / "out.doc"));
    EXPECT_EQ(fromDocument.error, "");
    EXPECT_TRUE(test::SameBytes(TemplateSectionsText(kTemplate).text, fromDocument.text));
    EXPECT_TRUE(test::SameBytes("      namespace nsread\r\n\r\n      public read ( ) \r\n"
                                "        x := \"<&>\"\r\n\r\n",
                                fromDocument.text));
    const auto [extracted, extractErrors] = run(extract + dir / "out.doc " + dir / "clean.asml");
    ASSERT_EQ(extracted, 0) << extractErrors;
    EXPECT_EQ(test::ReadBytes(dir / "clean.asml"), fromDocument.text);

    // Refused: exit status, message, and the output not written.
    test::WriteBytes(dir / "old.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12));
    std::string broken = kTemplate;
    broken.replace(broken.find("Ada"), 3, "A<B");
    test::WriteBytes(dir / "broken.asml", broken);
    struct Case {
        std::string commandLine;
        int status;
        std::string error;
    };
    for (const Case& c : std::vector<Case>{
             {docgen + "only-one", 2, "usage: kestrel-docgen TEMPLATE OUTPUT"},
             {docgen + dir / "none.asml " + dir / "none.doc", 1, "none.asml"},
             {extract + dir / "old.doc " + dir / "old.asml", 1, "old binary Word document"},
             {docgen + dir / "broken.asml " + dir / "broken.doc", 1,
              "broken.asml: line 5: not a well-formed AsmL template"}}) {
        const auto [status, errors] = run(c.commandLine);
        EXPECT_EQ(status, c.status) << c.commandLine;
        EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
    }
    for (const char* unwritten : {"none.doc", "old.asml", "broken.doc"})
        EXPECT_FALSE(fs::exists(dir / unwritten)) << unwritten;
}

} // namespace
} // namespace kestrel
