#pragma once
// kestrel-cli tlm2: chooses the project's TLM-2.0 socket mapping (which function is the bus
// write and which the read, and which parameters carry address, data, strobe and response),
// keeps it in tlm2.json and writes the socket module <transactor header>_tlm2.h.
#include <CLI/CLI.hpp>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::cli {

class Tlm2Command {
public:
    explicit Tlm2Command(CLI::App& app);

    bool chosen() const { return chosen_; }
    int Run(std::ostream& out, std::ostream& err) const;

private:
    bool chosen_ = false;
    std::string project_;
    std::optional<std::string> write_, read_, address_, data_, strobe_, response_, base_, size_;
    std::vector<std::string> fixed_;
    bool dryRun_ = false;
};

} // namespace kestrel::cli
