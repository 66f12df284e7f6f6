// Places logged errors: remembers how much of the status text it has seen and reads the
// "ERROR: " lines of the part that has grown since.
#include "translator/DiagnosticCollector.h"

namespace kestrel {

DiagnosticCollector::DiagnosticCollector(const GenerationLog& log, Diagnostics* out)
    : log_(log), out_(out), seen_(log.StatusText().size()) {}

void DiagnosticCollector::Place(std::string_view file, int line) {
    if (!out_) return;
    const std::string& text = log_.StatusText();
    if (text.size() < seen_) seen_ = 0; // the log was reset
    if (text.size() == seen_) return;
    for (std::string& message : ErrorMessagesIn(std::string_view(text).substr(seen_)))
        out_->push_back({std::string(file), line, std::move(message)});
    seen_ = text.size();
}

std::vector<std::string> ErrorMessagesIn(std::string_view statusText) {
    constexpr std::string_view kMark = "\r\nERROR: ";
    std::vector<std::string> messages;
    for (std::size_t at = statusText.find(kMark); at != std::string_view::npos;
         at = statusText.find(kMark, at)) {
        at += kMark.size();
        std::size_t end = statusText.find("\r\n", at);
        messages.emplace_back(
            statusText.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = end;
    }
    return messages;
}

} // namespace kestrel
