// The ASF document: loading and saving give every diagram of the repository and of the
// fuzz corpus back byte for byte, odd line ends and bytes included; the meaning it reads
// from the records is the diagram reader's; files the reader cannot read are refused
// with their name.
#include "fsm/AsfDocument.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

fs::path RepositoryRoot() {
    return test::GoldenDir().parent_path().parent_path();
}

// Every ASF file of the repository and every input of the diagram fuzz corpus.
std::vector<fs::path> RepositoryDiagrams() {
    std::vector<fs::path> files;
    const fs::path root = RepositoryRoot();
    for (const fs::path& folder :
         {root / "examples", root / "tests", root / "fuzz/corpus/asf_diagram"})
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() &&
                (entry.path().extension() == ".asf" || folder.filename() == "asf_diagram"))
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(AsfDocument, SavesEveryRepositoryDiagramUnchanged) {
    std::vector<fs::path> files = RepositoryDiagrams();
    ASSERT_GT(files.size(), 50u);
    std::size_t loaded = 0;
    for (const fs::path& file : files) {
        const std::string bytes = test::ReadBytes(file);
        AsfDocument doc;
        if (!AsfDocument::Load(bytes, file.string(), doc)) continue;
        ++loaded;
        EXPECT_TRUE(test::SameBytes(bytes, doc.Bytes())) << file;
    }
    EXPECT_GT(loaded, 20u);
}

TEST(AsfDocument, KeepsLineEndsOddBytesAndUnknownRecords) {
    const std::string cases[] = {
        // no line end after END, LF-only lines, a lone CR, text after the objects block
        "VERSION=1.19\r\nOBJECTS\r\nS 5 0 2 ELLIPSE | 1,2 6000,6000\r\nEND",
        "VERSION=1.19\nHEADER\nEND\nOBJECTS\nQ 9 whatever\nL 6 5 0 TEXT \"Labels\" | 3,4 1 0 0 "
        "\"x\"\nEND\n",
        "VERSION=1.19\rOBJECTS\r\nZ\xff\x01\t  two  blanks\r\nEND x\r\nafter the end\r\n\r\n",
        "VERSION=1.19\r\nOBJECTS\r\nA 7 5 0 TEXT \"Actions\" | 1,1 1 0 0 \"a\0b\xe9\"\r\nEND\r\n"s,
    };
    for (const std::string& bytes : cases) {
        AsfDocument doc;
        ASSERT_TRUE(AsfDocument::Load(bytes, "odd.asf", doc)) << bytes;
        EXPECT_EQ(doc.Bytes(), bytes);
    }
    AsfDocument doc;
    ASSERT_TRUE(AsfDocument::Load(cases[1], "odd.asf", doc));
    ASSERT_EQ(doc.ObjectsEnd() - doc.ObjectsBegin(), 2u);
    EXPECT_EQ(doc.Lines()[doc.ObjectsBegin()].kind, AsfKind::Other);
    const AsfLine& label = doc.Lines()[doc.ObjectsBegin() + 1];
    EXPECT_EQ(label.kind, AsfKind::Label);
    EXPECT_EQ(label.owner, 5);
    EXPECT_EQ(label.text, "x");
    EXPECT_EQ(label.geometry, (std::vector<AsfPoint>{{3, 4}}));
}

TEST(AsfDocument, RefusesWhatTheReaderCannotReadNamingTheFile) {
    AsfDocument doc;
    Status wrong = AsfDocument::Load("VERSION=1.18\r\nOBJECTS\r\nEND\r\n", "/p/Input/a.asf", doc);
    EXPECT_NE(wrong.message().find("/p/Input/a.asf"), std::string::npos);
    Status truncated =
        AsfDocument::Load("VERSION=1.19\r\nOBJECTS\r\nS 1 0 0 ELLI", "/p/b.asf", doc);
    EXPECT_FALSE(truncated);
    EXPECT_NE(truncated.message().find("/p/b.asf"), std::string::npos);
    EXPECT_FALSE(AsfDocument::Load("", "/p/c.asf", doc));
    EXPECT_FALSE(AsfDocument::Load("VERSION=1.19\r\nEND\r\n", "/p/d.asf", doc)); // no OBJECTS
}

// The model of a document names what the reader names, for every repository diagram
// the reader reads without trouble.
TEST(AsfDocument, DescribesWhatTheReaderReads) {
    for (const fs::path& file : RepositoryDiagrams()) {
        const std::string bytes = test::ReadBytes(file);
        AsfDocument doc;
        if (!AsfDocument::Load(bytes, file.string(), doc)) continue;
        DiagramReading reading = ReadAsfDiagram(bytes, file.string(), "Read");
        const StateMachine& sm = reading.machine;
        DiagramModel m = DescribeDiagram(doc);
        if (m.states.size() > kMaxDiagramStates ||
            doc.Records(AsfKind::Label).size() > kMaxDiagramLabels ||
            m.transitions.size() > kMaxDiagramTransitions ||
            m.actions.size() > kMaxDiagramActions || m.signals.size() > kMaxDiagramSignals ||
            m.constants.size() > kMaxDiagramConstants)
            continue; // the reader leaves the rest out
        SCOPED_TRACE(file.string());
        ASSERT_EQ(m.states.size(), sm.states.size());
        for (std::size_t i = 0; i < sm.states.size(); ++i) {
            EXPECT_EQ(m.states[i].id, sm.states[i].number);
            EXPECT_EQ(m.states[i].name, sm.states[i].name);
            EXPECT_EQ(m.states[i].kind == AsfStateKind::Default, sm.states[i].isDefault);
            EXPECT_EQ(m.states[i].kind == AsfStateKind::Trap, sm.states[i].isTrap);
        }
        EXPECT_EQ(m.reset ? *m.reset->id : 0, sm.resetObject);
        ASSERT_EQ(m.transitions.size(), sm.transitions.size());
        for (std::size_t i = 0; i < sm.transitions.size(); ++i) {
            EXPECT_EQ(m.transitions[i].from, sm.transitions[i].source);
            EXPECT_EQ(m.transitions[i].to, sm.transitions[i].target);
            EXPECT_EQ(m.transitions[i].priority, sm.transitions[i].priority);
        }
        ASSERT_EQ(m.actions.size(), sm.actions.size());
        for (std::size_t i = 0; i < sm.actions.size(); ++i)
            EXPECT_EQ(AsfTextStored(m.actions[i].text), sm.actions[i].text);
        ASSERT_EQ(m.signals.size(), sm.signals.size());
        for (std::size_t i = 0; i < sm.signals.size(); ++i) {
            EXPECT_EQ(m.signals[i].name, sm.signals[i].name);
            EXPECT_EQ(m.signals[i].init, sm.signals[i].initialValue);
        }
        ASSERT_EQ(m.constants.size(), sm.constants.size());
        for (std::size_t i = 0; i < sm.constants.size(); ++i) {
            EXPECT_EQ(m.constants[i].name, sm.constants[i].name);
            EXPECT_EQ(m.constants[i].value, sm.constants[i].value);
        }
    }
}

TEST(AsfDocument, TextsShownWithRealLineBreaksAndStoredBack) {
    EXPECT_EQ(AsfTextShown("a\\nb\\\\nc\\"), "a\nb\\\nc\\");
    EXPECT_EQ(AsfTextStored("a\r\nb\rc\nd"), "a\\nb\\nc\\nd");
    for (std::string_view stored : {"x := 1\\ny := 2", "\\\\n\\n\\", "", "\\n\\n"})
        EXPECT_EQ(AsfTextStored(AsfTextShown(stored)), stored);
}

} // namespace
} // namespace kestrel
