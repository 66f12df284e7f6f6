// Reading and writing the project folder's JSON files: parse errors as the file's damage,
// without the library's tag, and atomic writes.
#include "model/JsonFile.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace kestrel {

Status ReadJsonFile(const std::string& path, const JsonReader& read, bool& present) {
    present = false;
    if (!FileExists(path) && !DirectoryExists(path)) return {};
    std::string bytes;
    if (Status s = ReadFileBytes(path, bytes); !s) return s;
    try {
        if (std::string failure = read(JsonValue::parse(bytes)); !failure.empty())
            return Status::Error(Quoted(path) + " is damaged: " + failure);
        present = true;
        return {};
    } catch (const JsonValue::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 1, ..." without its tag.
        std::string what = e.what();
        const std::size_t tag = what.find("] ");
        if (tag != std::string::npos) what.erase(0, tag + 2);
        return Status::Error(Quoted(path) + " is damaged: it is not JSON (" + what + ")");
    }
}

Status WriteJsonFile(const std::string& path, const JsonValue& root) {
    return WriteFileAtomic(path,
                           root.dump(2, ' ', false, JsonValue::error_handler_t::replace) + "\n");
}

} // namespace kestrel
