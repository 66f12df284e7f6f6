// The folders of src/core form layers: a folder includes only its own headers and those of
// folders in strictly lower layers, so no include goes sideways or up and the folders can
// never include each other in a loop. A new include that breaks this fails here, naming the
// file and line; so does a Qt include or a window control's name in the core.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>

namespace fs = std::filesystem;

namespace kestrel {
namespace {

// Lower numbers are lower layers; folders of one layer do not include each other.
const std::map<std::string, int> kLayers{
    {"platform", 0}, {"model", 1},   {"project", 2}, {"codegen", 2},  {"translator", 3}, {"fsm", 3},
    {"asml", 3},     {"library", 3}, {"tlm2", 3},    {"generate", 4}, {"sim", 5},        {"bus", 6},
};

const fs::path kCoreDir = test::FixtureDir().parent_path().parent_path() / "src" / "core";

// Calls `check` with every line of every file under src/core, its path relative to
// src/core and its "file:line" place; gives the number of lines read.
int ForEachCoreLine(
    const std::function<void(const std::string&, const std::string&, const std::string&)>& check) {
    int lines = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kCoreDir)) {
        if (!entry.is_regular_file()) continue;
        const std::string file = fs::relative(entry.path(), kCoreDir).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number, ++lines)
            check(line, file, file + ":" + std::to_string(number));
    }
    return lines;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

TEST(Layers, EveryCoreFolderHasALayerAndIncludesOnlyDown) {
    for (const auto& entry : fs::directory_iterator(kCoreDir)) {
        if (!entry.is_directory()) continue;
        EXPECT_TRUE(kLayers.count(entry.path().filename().string()))
            << "src/core/" << entry.path().filename().string()
            << " has no layer: give it one here and in docs/architecture.md";
    }
    static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    const int lines = ForEachCoreLine([](const std::string& line, const std::string& file,
                                         const std::string& where) {
        std::smatch match;
        if (!std::regex_search(line, match, quoted)) return;
        const std::string from = FolderOf(file), to = FolderOf(match[1]);
        if (to.empty() || to == from || !kLayers.count(to) || !kLayers.count(from)) return;
        EXPECT_LT(kLayers.at(to), kLayers.at(from))
            << where << " includes \"" << match[1] << "\": " << from << " may not include " << to;
    });
    ASSERT_GT(lines, 1000) << "the sources of src/core were not found";
}

// The core is the system without a screen: no Qt, and no names of the windows' controls.
TEST(Layers, CoreHoldsNoPresentation) {
    static const std::regex qt(R"(^\s*#\s*include\s*<Q)");
    static const std::regex control(
        R"re("(Text|Combo|Check|Command|Option|Label|List|Frame|Menu|Form)[A-Z][A-Za-z_]*")re");
    ForEachCoreLine([](const std::string& line, const std::string&, const std::string& where) {
        EXPECT_FALSE(std::regex_search(line, qt)) << where << " includes Qt";
        EXPECT_FALSE(std::regex_search(line, control)) << where << " names a control: " << line;
    });
}

} // namespace
} // namespace kestrel
