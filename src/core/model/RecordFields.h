#pragma once
// Reading the one-record files (option.dat, gen.dat, asml.dat, asf.dat): fields are read
// in order until the file ends; a field the file does not reach keeps its value. A text
// whose byte count runs past the end of the file marks the file as damaged.
#include "model/Encoding.h"
#include "platform/FileSystem.h"
#include "platform/Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::detail {

inline std::string DamagedMessage(std::string_view filePath, std::string_view what) {
    return "\"" + std::string(filePath) + "\" is damaged: " + std::string(what);
}

class RecordFieldReader {
public:
    RecordFieldReader(std::string_view bytes, std::string_view filePath)
        : in_(bytes), filePath_(filePath) {}

    void Integer(std::int16_t& value) {
        Number([&] { return in_.Integer(value); });
    }
    void Boolean(Flag& value) {
        Number([&] { return in_.Boolean(value); });
    }
    void Long(std::int32_t& value) {
        Number([&] { return in_.Long(value); });
    }

    void Text(std::string& text) {
        if (stopped_) return;
        // The end of the file before or inside the byte count: the field is not reached.
        if (in_.remaining() < 2) {
            stopped_ = true;
            return;
        }
        if (!in_.VariableText(text)) {
            stopped_ = true;
            status_ =
                Status::Error(DamagedMessage(filePath_, "a text runs past the end of the file"));
        }
    }

    const Status& status() const { return status_; }

private:
    template <typename Read> void Number(Read read) {
        if (!stopped_ && !read()) stopped_ = true;
    }

    ByteReader in_;
    std::string filePath_;
    bool stopped_ = false;
    Status status_;
};

// Reads a one-record file; a missing file gives no bytes and is not an error.
inline Status ReadRecordFile(std::string_view filePath, std::string& bytes) {
    return ReadFileBytes(filePath, bytes, /*missingIsEmpty=*/true);
}

} // namespace kestrel::detail
