#pragma once
// The outcome of an operation that can fail on the file system or on bad input:
// either ok, or a message that names the file and what went wrong.
#include <string>
#include <utility>

namespace kestrel {

class [[nodiscard]] Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

private:
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}
    bool failed_ = false;
    std::string message_;
};

} // namespace kestrel
