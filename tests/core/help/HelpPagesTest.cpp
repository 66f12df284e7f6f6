// The help pages: every link to another page and every picture they show is there, and
// every page is reached from the contents.
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

} // namespace
} // namespace kestrel
