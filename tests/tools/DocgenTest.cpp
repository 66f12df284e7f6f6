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

const std::string kTemplate =
    "<?xml version=\"1.0\"?>\r\n"
    "<document>\r\n"
    "  <head>\r\n"
    "    <title>AsmL Specification of Caf\xE9 Bus </title>\r\n"
    "    <author>Ada</author>\r\n"
    "    <renderinghint client=\"msword\">AsmL2 Specification.dot</renderinghint>\r\n"
    "  </head>\r\n"
    "  <section>\r\n"
    "    <para>\r\n"
    "    TLM Function Name: read ()\r\n"
    "    </para>\r\n"
    "    <asml><![CDATA[\r\n"
    "      namespace nsread\r\n"
    "\r\n"
    "      public read ( ) \r\n"
    "        x := \"<&>\"\r\n"
    "\r\n"
    "    ]]></asml>\r\n"
    "  </section>\r\n"
    "</document>\r\n";

TEST(ReadAsmlTemplate, TitleHeadingsAndLinesWithTheirBlanks) {
    TemplateContent content;
    ASSERT_TRUE(ReadAsmlTemplate(kTemplate, "template.asml", content).ok());
    EXPECT_EQ(content.title, "AsmL Specification of Caf\xC3\xA9 Bus");
    EXPECT_EQ(content.author, "Ada");
    ASSERT_EQ(content.blocks.size(), 2u);
    EXPECT_EQ(content.blocks[0].kind, TemplateBlock::Kind::Heading);
    EXPECT_EQ(content.blocks[0].lines, std::vector<std::string>{"TLM Function Name: read ()"});
    EXPECT_EQ(content.blocks[1].kind, TemplateBlock::Kind::Asml);
    EXPECT_EQ(content.blocks[1].lines,
              (std::vector<std::string>{"      namespace nsread", "", "      public read ( ) ",
                                        "        x := \"<&>\"", ""}));
}

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

    pugi::xml_document core;
    ASSERT_TRUE(core.load_string(parts["docProps/core.xml"].c_str()));
    EXPECT_STREQ(core.child("cp:coreProperties").child_value("dc:title"),
                 "AsmL Specification of Caf\xC3\xA9 Bus");
    EXPECT_STREQ(core.child("cp:coreProperties").child_value("dc:creator"), "Ada");

    pugi::xml_document styles;
    ASSERT_TRUE(styles.load_string(parts["word/styles.xml"].c_str()));
    pugi::xml_node asml =
        styles.child("w:styles").find_child_by_attribute("w:style", "w:styleId", "AsmL");
    ASSERT_TRUE(asml);
    EXPECT_STREQ(asml.attribute("w:type").value(), "paragraph");
    EXPECT_STREQ(asml.child("w:name").attribute("w:val").value(), "AsmL");
    EXPECT_STREQ(asml.child("w:rPr").child("w:rFonts").attribute("w:ascii").value(), "Courier New");

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(parts["word/document.xml"].c_str(),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    std::vector<std::pair<std::string, std::string>> paragraphs; // style, text
    for (pugi::xml_node p : doc.child("w:document").child("w:body").children("w:p")) {
        std::string text;
        for (pugi::xpath_node t : p.select_nodes(".//w:t")) text += t.node().child_value();
        paragraphs.emplace_back(p.child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                                text);
    }
    EXPECT_EQ(paragraphs, (std::vector<std::pair<std::string, std::string>>{
                              {"Title", "AsmL Specification of Caf\xC3\xA9 Bus"},
                              {"Heading1", "TLM Function Name: read ()"},
                              {"AsmL", "      namespace nsread"},
                              {"AsmL", ""},
                              {"AsmL", "      public read ( ) "},
                              {"AsmL", "        x := \"<&>\""},
                              {"AsmL", ""}}));
    // Leading and trailing blanks survive any reader: every text says so.
    for (pugi::xpath_node t : doc.select_nodes("//w:t"))
        EXPECT_STREQ(t.node().attribute("xml:space").value(), "preserve");

    // The same template gives the same bytes.
    std::string again;
    ASSERT_TRUE(MakeWordDocument(content, again).ok());
    EXPECT_EQ(again, bytes);
}

struct ProgramRun {
    int status;
    std::string errors;
};

ProgramRun RunProgram(const std::string& commandLine, const test::TempDir& dir) {
    const std::string errFile = dir / "stderr.txt";
    int raw = std::system((commandLine + " 2>" + errFile).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(errFile)};
}

TEST(DocgenProgram, WritesADocumentThatReadsBackAsTheTemplatesSections) {
    test::TempDir dir;
    const std::string docgen = (test::BinDir() / "kestrel-docgen").string();
    const std::string extract = (test::BinDir() / "kestrel-docextract").string();
    test::WriteBytes(dir / "template.asml", kTemplate);

    ProgramRun usage = RunProgram(docgen + " only-one", dir);
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.errors.find("usage: kestrel-docgen TEMPLATE OUTPUT"), std::string::npos);

    ProgramRun missing = RunProgram(docgen + " " + dir / "none.asml " + dir / "out.doc", dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("none.asml"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out.doc"));

    ProgramRun made = RunProgram(docgen + " " + dir / "template.asml " + dir / "out.doc", dir);
    ASSERT_EQ(made.status, 0) << made.errors;
    // The document's AsmL paragraphs give the same text as the template's own sections.
    DocumentText fromDocument = ReadAsmlDocument(test::ReadBytes(dir / "out.doc"));
    EXPECT_EQ(fromDocument.error, "");
    EXPECT_TRUE(test::SameBytes(TemplateSectionsText(kTemplate).text, fromDocument.text));
    EXPECT_TRUE(test::SameBytes("      namespace nsread\r\n\r\n      public read ( ) \r\n"
                                "        x := \"<&>\"\r\n\r\n",
                                fromDocument.text));

    ProgramRun extracted =
        RunProgram(extract + " -cc " + dir / "out.doc " + dir / "clean.asml", dir);
    ASSERT_EQ(extracted.status, 0) << extracted.errors;
    EXPECT_EQ(test::ReadBytes(dir / "clean.asml"), fromDocument.text);

    // An old binary Word file is refused by the extractor, and nothing is written.
    test::WriteBytes(dir / "old.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12));
    ProgramRun old = RunProgram(extract + " -cc " + dir / "old.doc " + dir / "old.asml", dir);
    EXPECT_EQ(old.status, 1);
    EXPECT_NE(old.errors.find("old binary Word document"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "old.asml"));

    std::string broken = kTemplate;
    broken.replace(broken.find("Ada"), 3, "A<B");
    test::WriteBytes(dir / "broken.asml", broken);
    ProgramRun bad = RunProgram(docgen + " " + dir / "broken.asml " + dir / "bad.doc", dir);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.errors.find("broken.asml: line 5: not a well-formed AsmL template"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "bad.doc"));
}

} // namespace
} // namespace kestrel
