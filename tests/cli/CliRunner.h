#pragma once
// Runs kestrel-cli in process and captures its exit status, stdout and stderr; the projects
// the command-line tests start from.
#include "CliApp.h"
#include "platform/System.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kestrel::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "kestrel-cli");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    int code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// Whether `text` holds `part`; a failure shows the text.
inline ::testing::AssertionResult Has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess() << "\"" << part << "\" is in:\n" << text;
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

// `text` with every `from` (a temporary path) replaced by `to`, for a golden comparison.
inline std::string Masked(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to);
    return text;
}

// What show lists for the project (as JSON with `json`), the folder `dir` shown as <dir> and
// the author a new project takes, the user running the tests, as <user>.
inline std::string MaskedShow(const std::string& tp, const TempDir& dir, bool json = false) {
    std::vector<std::string> args = {"show", tp};
    if (json) args.push_back("--json");
    const std::string author = json ? "\"author\": \"" : "Author:          ";
    const std::string end = json ? "\"" : "\n";
    return Masked(Masked(Cli(args).out, dir.str(), "<dir>"),
                  author + LinuxSystemInfo().LoggedOnUserName() + end, author + "<user>" + end);
}

// A new project `name` in `dir`; its .tp path.
inline std::string NewCliProject(const TempDir& dir, const std::string& name) {
    CliRun made = Cli({"new", name, "--location", dir.str()});
    EXPECT_EQ(made.code, 0) << made.err;
    return dir / (name + "/" + name + ".tp");
}

// A copy of examples/<name> at `project`, its generated files pointed at the copy's Output
// when `pointed`; its .tp path.
inline std::string CopiedExample(const std::filesystem::path& project, bool pointed = true,
                                 const std::string& name = "MemReqAck") {
    CopyTree(std::filesystem::path(KESTREL_EXAMPLES_DIR) / name, project);
    const std::string tp = (project / (name + ".tp")).string();
    if (pointed) {
        const std::string out = (project / "Output").string();
        CliRun set = Cli({"settings", tp, "--cpp", out + "/Tran.cpp", "--header", out + "/Tran.h",
                          "--interface-header", out + "/TLM_AIC.h"});
        EXPECT_EQ(set.code, 0) << set.err;
    }
    return tp;
}

} // namespace kestrel::test
