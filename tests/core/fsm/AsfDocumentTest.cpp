// The ASF document: loading and saving give every diagram of the repository and of the
// fuzz corpus back byte for byte, odd line ends and bytes included; files the reader cannot
// read are refused with their name.
#include "fsm/AsfDocument.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

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

    // Frames and text objects, which the reader skips, keep their places and text.
    ASSERT_TRUE(AsfDocument::Load("VERSION=1.19\r\nOBJECTS\r\nF 1 0 | 1,2 3,-4 x\r\n"
                                  "G 2 0 | 5,6 1 0 0 \"a b\"\r\nF 3 | 7,8\r\nEND\r\n",
                                  "d.asf", doc));
    const AsfDecorations drawn = DescribeDiagram(doc).drawings;
    ASSERT_EQ(drawn.frames.size(), 1u); // the second frame lacks its corner
    EXPECT_EQ(drawn.frames[0].to, (AsfPoint{3, -4}));
    ASSERT_EQ(drawn.texts.size(), 1u);
    EXPECT_EQ(drawn.texts[0].at, (AsfPoint{5, 6}));
    EXPECT_EQ(drawn.texts[0].text, "a b");
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

} // namespace
} // namespace kestrel
