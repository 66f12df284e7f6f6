// The AsmL route end to end through real documents: the project's template goes through
// kestrel-docgen, a user types each function's behaviour into its namespace (done here
// on the document's XML the way Writer saves typed paragraphs), the document is assigned,
// and Generate extracts it with kestrel-docextract and translates it. The behaviour typed
// is that of a shared Generate case, so the generated files must be that case's files.
// A second test first re-saves the generated document with LibreOffice, where installed.
#include "asml/AsmlTemplate.h"
#include "generate/Generate.h"
#include "model/ProjectTables.h"
#include "platform/Text.h"

#include "TestSupport.h"
#include "ZipParts.h"

#include <pugixml.hpp>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// The Generate case whose behaviour is typed: an AsmL document, three functions, with
// translation errors whose log lines must come out the same too.
constexpr const char* kCase = "case-10";

using test::ReadKeyValues;

// The lines of each function's section in a plain AsmL text: after the first line that is
// "namespace ns<Name>", up to the next line that begins with "namespace".
std::map<std::string, std::vector<std::string>>
FunctionSections(const std::string& asml, const TlmFunctionTable& functions) {
    std::map<std::string, std::vector<std::string>> sections;
    const std::vector<std::string_view> lines = SplitLines(asml);
    for (int f = 1; f <= functions.count; ++f) {
        if (functions[f].isLibrary) continue;
        const std::string name = functions[f].functionName.Text();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (Trim(lines[i]) != "namespace ns" + name) continue;
            std::vector<std::string>& body = sections[name];
            for (std::size_t j = i + 1;
                 j < lines.size() && !Trim(lines[j]).starts_with("namespace"); ++j)
                body.emplace_back(lines[j]);
            break;
        }
    }
    return sections;
}

std::string ParagraphText(const pugi::xml_node& paragraph) {
    std::string text;
    for (pugi::xpath_node t : paragraph.select_nodes(".//w:t")) text += t.node().child_value();
    return text;
}

std::string ParagraphStyle(const pugi::xml_node& paragraph) {
    return paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value();
}

pugi::xml_node WriterRun(pugi::xml_node paragraph) {
    pugi::xml_node run = paragraph.append_child("w:r");
    run.append_child("w:rPr");
    return run;
}

void WriterText(pugi::xml_node run, const std::string& utf8) {
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t tab = utf8.find('\t', start);
        std::string piece = utf8.substr(start, tab == std::string::npos ? tab : tab - start);
        if (!piece.empty()) {
            pugi::xml_node t = run.append_child("w:t");
            if (piece.front() == ' ' || piece.back() == ' ')
                t.append_attribute("xml:space") = "preserve";
            t.text() = piece.c_str();
        }
        if (tab == std::string::npos) break;
        run.append_child("w:tab");
        start = tab + 1;
    }
}

// A typed paragraph as Writer saves it: the indentation in a run of its own, the rest in
// another; an empty line is an empty run. With `second`, the paragraph holds two lines
// separated by a line break (Shift+Enter).
pugi::xml_node InsertTypedParagraph(pugi::xml_node body, pugi::xml_node after,
                                    const std::string& line, const std::string* second) {
    pugi::xml_node p = body.insert_child_after("w:p", after);
    pugi::xml_node properties = p.append_child("w:pPr");
    properties.append_child("w:pStyle").append_attribute("w:val") = "AsmL";
    properties.append_child("w:rPr");
    auto typeLine = [&](const std::string& cp1252) {
        const std::string text = Cp1252ToUtf8(cp1252);
        std::size_t indent = text.find_first_not_of(' ');
        if (indent == std::string::npos) indent = text.size();
        if (indent > 0) WriterText(WriterRun(p), text.substr(0, indent));
        if (indent < text.size()) WriterText(WriterRun(p), text.substr(indent));
        if (text.empty()) WriterRun(p);
    };
    typeLine(line);
    if (second) {
        WriterRun(p).append_child("w:br");
        typeLine(*second);
    }
    return p;
}

// Replaces the lines of every function namespace of the document (what the template put
// after "namespace ns<Name>") with the typed lines.
std::string TypeBehaviour(const std::string& documentXml,
                          const std::map<std::string, std::vector<std::string>>& sections) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(documentXml.data(), documentXml.size(),
                                pugi::parse_default | pugi::parse_ws_pcdata));
    pugi::xml_node body = doc.document_element().child("w:body");
    std::set<std::string> typed;
    bool lineBreakShown = false;
    for (pugi::xml_node p = body.child("w:p"); p; p = p.next_sibling("w:p")) {
        if (ParagraphStyle(p) != "AsmL") continue;
        const std::string header = Trim(Utf8ToCp1252Lossy(ParagraphText(p)));
        if (!header.starts_with("namespace ns")) continue;
        auto section = sections.find(header.substr(12));
        if (section == sections.end()) continue;
        // Select the template's lines of the namespace, and type over them.
        while (pugi::xml_node next = p.next_sibling("w:p")) {
            if (ParagraphStyle(next) != "AsmL" ||
                Trim(Utf8ToCp1252Lossy(ParagraphText(next))).starts_with("namespace"))
                break;
            body.remove_child(next);
        }
        pugi::xml_node last = p;
        const std::vector<std::string>& lines = section->second;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const bool joinNext = !lineBreakShown && i + 1 < lines.size() &&
                                  !Trim(lines[i]).empty() && !Trim(lines[i + 1]).empty();
            last = InsertTypedParagraph(body, last, lines[i], joinNext ? &lines[i + 1] : nullptr);
            if (joinNext) {
                lineBreakShown = true;
                ++i;
            }
        }
        typed.insert(section->first);
    }
    EXPECT_EQ(typed.size(), sections.size()) << "a function namespace is missing in the document";
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

// Re-saves a document through LibreOffice (Writer's Office Open XML filter).
bool ResaveWithLibreOffice(const fs::path& document, const fs::path& work) {
    const fs::path out = work / "resaved";
    fs::create_directories(out);
    const std::string command = "timeout 180 libreoffice -env:UserInstallation=file://" +
                                (work / "profile").string() +
                                " --headless --convert-to docx --outdir " + out.string() + " " +
                                document.string() + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    const fs::path resaved = out / (document.stem().string() + ".docx");
    if (!fs::exists(resaved)) return false;
    fs::copy_file(resaved, document, fs::copy_options::overwrite_existing);
    return true;
}

bool LibreOfficeInstalled() {
    return std::system("command -v libreoffice >/dev/null 2>&1") == 0;
}

// The shared case's folder; empty when it is not there.
fs::path CaseDir() {
    const fs::path caseDir = test::ConformanceDir() / kCase;
    return test::ConformanceDir().empty() || !fs::exists(caseDir) ? fs::path() : caseDir;
}

// Generates the placed case project with the AsmL method at a fixed time.
GenerateProjectResult GenerateWithAsml(const fs::path& project, test::TextCollector& observer) {
    GenerationSession session;
    const FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    return GenerateProject((project / (project.filename().string() + ".tp")).string(), session,
                           clock, &observer, {}, kMethodAsml);
}

void RoundTrip(bool throughLibreOffice) {
    const fs::path caseDir = CaseDir();
    if (caseDir.empty()) GTEST_SKIP() << "the shared case " << kCase << " is not there";
    auto values = ReadKeyValues(caseDir / "case.txt");
    const fs::path project = test::PlaceCaseProject(caseDir);
    const std::string name = project.filename().string();
    const std::string folder = project.string();

    AsmlAssignment assignment;
    ASSERT_TRUE(LoadAsmlAssignment(folder, assignment).ok());
    ASSERT_TRUE(assignment.asmlAssigned);
    const fs::path assigned = project / "Input" / assignment.asmlDocumentLabel;
    const std::string typedText = test::ReadBytes(assigned);
    TlmFunctionTable functions;
    ASSERT_TRUE(LoadTlmFunctions(folder, functions).ok());
    const auto sections = FunctionSections(typedText, functions);
    ASSERT_FALSE(sections.empty());

    // Generate AsmL Template, with the real converter beside this test.
    LinuxProcessRunner processes;
    DocumentConverter converter = DefaultDocumentConverter(processes);
    const std::string document = folder + "/Temp/" + name + "_spec.docx";
    AsmlAssignment afterTemplate = assignment;
    CommandOutcome made = GenerateAsmlTemplate(folder, document, afterTemplate, converter);
    ASSERT_TRUE(made.ok()) << made.status.message();

    test::TempDir work;
    if (throughLibreOffice) {
        ASSERT_TRUE(ResaveWithLibreOffice(document, work.path()));
    }

    // The user types the behaviour, saves, and assigns the document (copied into Input
    // under the name the assignment holds).
    test::Parts parts = test::PartsOf(test::ReadBytes(document));
    ASSERT_EQ(parts.count("word/document.xml"), 1u);
    parts["word/document.xml"] = TypeBehaviour(parts["word/document.xml"], sections);
    test::WriteBytes(assigned, test::ZipOf(parts));

    test::TextCollector observer;
    GenerateProjectResult result = GenerateWithAsml(project, observer);
    ASSERT_TRUE(result.status.ok()) << result.status.message();

    EXPECT_TRUE(test::SameBytes(test::ReadBytes(caseDir / "stdout.txt"), observer.text));
    EXPECT_EQ(result.errorCount, std::atoi(values["errors"].c_str()));
    const fs::path after = caseDir / "after" / name;
    for (const auto& entry : fs::recursive_directory_iterator(after)) {
        if (!entry.is_regular_file()) continue;
        const fs::path relative = fs::relative(entry.path(), after);
        const std::string file = relative.string();
        // The template run and the document differ from the case's plain-text document;
        // everything generated from the behaviour must not.
        if (file.starts_with("Input/") || file == "Temp/clean.asml" || file == "Temp/template.asml")
            continue;
        SCOPED_TRACE(file);
        EXPECT_TRUE(
            test::SameBytes(test::ReadBytes(entry.path()), test::ReadBytes(project / relative)));
    }
    // The extracted text holds the typed lines of every function, in order.
    const std::string clean = test::ReadBytes(project / "Temp/clean.asml");
    for (const auto& [function, lines] : sections) {
        std::string expected = "      namespace ns" + function + "\r\n";
        for (const std::string& line : lines) expected += line + "\r\n";
        EXPECT_NE(clean.find(expected), std::string::npos) << function;
    }
    test::RemoveTree(project);
}

TEST(AsmlDocumentRoundTrip, TypedBehaviourGeneratesTheCasesSystemC) {
    RoundTrip(false);
}

TEST(AsmlDocumentRoundTrip, GenerateLogsADocumentTheExtractorCannotRead) {
    const fs::path caseDir = CaseDir();
    if (caseDir.empty()) GTEST_SKIP() << "the shared case " << kCase << " is not there";
    const fs::path project = test::PlaceCaseProject(caseDir);
    AsmlAssignment assignment;
    ASSERT_TRUE(LoadAsmlAssignment(project.string(), assignment).ok());
    const fs::path assigned = project / "Input" / assignment.asmlDocumentLabel;
    fs::permissions(assigned, fs::perms::owner_write, fs::perm_options::add);

    // The extractor's reasons are its own tests' (WordDocumentTest); one reaches the log.
    test::WriteBytes(assigned, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12));
    test::TextCollector observer;
    GenerateProjectResult result = GenerateWithAsml(project, observer);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_GE(result.errorCount, 1);
    const std::size_t error = observer.text.find("ERROR: ");
    ASSERT_NE(error, std::string::npos) << observer.text;
    EXPECT_NE(observer.text.find("this is an old binary Word document (.doc)", error),
              std::string::npos)
        << observer.text;
    EXPECT_EQ(observer.text.find("Generating SystemC Code for"), std::string::npos);
    test::RemoveTree(project);
}

TEST(AsmlDocumentRoundTrip, SameAfterLibreOfficeResavesTheDocument) {
    if (!LibreOfficeInstalled()) {
        GTEST_SKIP() << "libreoffice is not installed: the re-save through Writer is not tried";
    }
    RoundTrip(true);
}

} // namespace
} // namespace kestrel
