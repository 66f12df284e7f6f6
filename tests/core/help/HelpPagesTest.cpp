// The help pages: every link to another page and every picture they show is there, and
// every page is reached from the contents; each bus protocol's page shows that protocol's
// diagrams and waveform.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace kestrel {
namespace {

fs::path HelpDir() {
    return test::FixtureDir().parent_path().parent_path() / "share" / "kestrel" / "help";
}

TEST(HelpPages, LinksAndPicturesResolveAndEveryPageIsReached) {
    static const std::regex reference(R"re((href|src)="([^"#:]+)(#[^"]*)?")re");
    std::set<std::string> pages, linked;
    for (const auto& entry : fs::directory_iterator(HelpDir()))
        if (entry.path().extension() == ".html") pages.insert(entry.path().filename().string());
    ASSERT_TRUE(pages.count("Main.html"));
    for (const std::string& page : pages) {
        const std::string text = test::ReadBytes(HelpDir() / page);
        for (std::sregex_iterator it(text.begin(), text.end(), reference), end; it != end; ++it) {
            const std::string target = (*it)[2];
            EXPECT_TRUE(fs::exists(HelpDir() / target)) << page << " refers to " << target;
            if (target != page) linked.insert(target);
        }
    }
    for (const std::string& page : pages) {
        if (page == "Main.html") continue;
        EXPECT_TRUE(linked.count(page)) << page << " is reached from no page";
    }
}

TEST(HelpPages, EachBusPageShowsItsOwnDiagramsAndWaveform) {
    for (const auto& [page, word] : {std::pair{"BusAxi4Lite.html", "axi4-lite"},
                                     {"BusApb.html", "apb"},
                                     {"BusWishbone.html", "wishbone"}}) {
        const std::string text = test::ReadBytes(HelpDir() / page);
        const std::string images = "images/bus-" + std::string(word);
        for (const char* picture : {"-write.png", "-read.png", "-wave.svg"})
            EXPECT_NE(text.find("src=\"" + images + picture + "\""), std::string::npos)
                << page << " does not show " << images << picture;
        EXPECT_NE(test::ReadBytes(HelpDir() / "FromVerilog.html").find(page), std::string::npos);
    }
}

} // namespace
} // namespace kestrel
