// The folders of src/core form layers: a folder includes only its own headers and those of
// folders in lower layers. A new include that goes sideways or up (and so may close a
// loop between folders) fails here, naming the file and line.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace kestrel {
namespace {

// Lower numbers are lower layers; folders of one layer do not include each other.
const std::map<std::string, int>& Layers() {
    static const std::map<std::string, int> layers{
        {"platform", 0}, {"model", 1}, {"project", 2}, {"codegen", 2},  {"translator", 3},
        {"fsm", 3},      {"asml", 3},  {"library", 3}, {"generate", 4}, {"sim", 5},
    };
    return layers;
}

fs::path CoreDir() {
    return test::FixtureDir().parent_path().parent_path() / "src" / "core";
}

struct Include {
    std::string file; // relative to src/core
    int line = 0;
    std::string text; // the included path
};

// Every quoted include of every file under src/core.
std::vector<Include> CoreIncludes() {
    static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(CoreDir())) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (std::regex_search(line, match, quoted))
                includes.push_back(
                    {fs::relative(entry.path(), CoreDir()).generic_string(), number, match[1]});
        }
    }
    return includes;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

TEST(Layers, EveryCoreFolderHasALayer) {
    for (const auto& entry : fs::directory_iterator(CoreDir())) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(Layers().count(name))
            << "src/core/" << name << " has no layer: give it one here and in docs/architecture.md";
    }
}

TEST(Layers, CoreIncludesGoOnlyDown) {
    const std::vector<Include> includes = CoreIncludes();
    ASSERT_GT(includes.size(), 100u) << "the sources of src/core were not found";
    for (const Include& include : includes) {
        const std::string from = FolderOf(include.file);
        const std::string to = FolderOf(include.text);
        if (to.empty() || to == from || !Layers().count(to) || !Layers().count(from)) continue;
        EXPECT_LT(Layers().at(to), Layers().at(from))
            << include.file << ":" << include.line << " includes \"" << include.text
            << "\": " << from << " may not include " << to;
    }
}

// The folder graph has no cycle (independent of the layer table, so a wrong table
// cannot hide one): depth-first search, reporting the first loop found.
TEST(Layers, CoreFoldersFormNoLoop) {
    std::map<std::string, std::map<std::string, Include>> edges;
    for (const Include& include : CoreIncludes()) {
        const std::string from = FolderOf(include.file);
        const std::string to = FolderOf(include.text);
        if (!from.empty() && !to.empty() && from != to && fs::is_directory(CoreDir() / to))
            edges[from].emplace(to, include);
    }
    std::map<std::string, int> state; // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    std::string loop;
    std::function<void(const std::string&)> visit = [&](const std::string& folder) {
        state[folder] = 1;
        path.push_back(folder);
        for (const auto& [to, include] : edges[folder]) {
            if (!loop.empty()) break;
            if (state[to] == 1) {
                std::ostringstream text;
                bool inLoop = false;
                for (std::size_t i = 0; i < path.size(); ++i) {
                    if (path[i] == to) inLoop = true;
                    if (!inLoop) continue;
                    const std::string& next = i + 1 < path.size() ? path[i + 1] : to;
                    const Include& via = edges[path[i]].at(next);
                    text << "\n  " << path[i] << " -> " << next << " (" << via.file << ":"
                         << via.line << ")";
                }
                loop = text.str();
            } else if (state[to] == 0) {
                visit(to);
            }
        }
        path.pop_back();
        state[folder] = 2;
    };
    for (const auto& [folder, targets] : edges)
        if (state[folder] == 0 && loop.empty()) visit(folder);
    EXPECT_EQ(loop, "") << "the folders of src/core include each other in a loop:" << loop;
}

// The core is the system without a screen: no Qt, and no names of the windows' controls.
TEST(Layers, CoreHoldsNoPresentation) {
    static const std::regex qt(R"(^\s*#\s*include\s*<Q)");
    static const std::regex control(
        R"re("(Text|Combo|Check|Command|Option|Label|List|Frame|Menu|Form)[A-Z][A-Za-z_]*")re");
    for (const auto& entry : fs::recursive_directory_iterator(CoreDir())) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string where = fs::relative(entry.path(), CoreDir()).generic_string() + ":" +
                                      std::to_string(number);
            EXPECT_FALSE(std::regex_search(line, qt)) << where << " includes Qt";
            EXPECT_FALSE(std::regex_search(line, control)) << where << " names a control: " << line;
        }
    }
}

} // namespace
} // namespace kestrel
