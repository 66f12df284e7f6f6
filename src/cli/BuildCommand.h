#pragma once
// kestrel-cli build: compiles the generated Tran.cpp against the system's SystemC without
// writing anything, and prints the compiler's diagnostics at the places the user wrote:
// the line of clean.asml or of the ASF diagram that produced the offending line.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

namespace kestrel::cli {

class BuildCommands {
public:
    explicit BuildCommands(CLI::App& app);

    bool chosen() const { return chosen_; }
    // Exit 0 when Tran.cpp compiles, 1 on compile errors, 2 when nothing could be compiled.
    int Run(std::ostream& out, std::ostream& err) const;

private:
    bool chosen_ = false;
    std::string project_;
    std::string method_;
    std::string compiler_ = "g++";
    int timeoutSeconds_ = 300;
};

} // namespace kestrel::cli
