#pragma once
// The JSON files a project keeps in its folder beside the table files (tlm2.json, rtl.json):
// read with every failure an error naming the file, written atomically and readably.
#include "platform/Status.h"

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

namespace kestrel {

using JsonValue = nlohmann::ordered_json;

// Why `root` cannot be taken; empty when it was.
using JsonReader = std::function<std::string(const JsonValue& root)>;

// A missing file leaves `present` false and is no error; one that cannot be read, is not JSON
// or that `read` refuses is an error: "<file>" is damaged: why.
Status ReadJsonFile(const std::string& path, const JsonReader& read, bool& present);

// Indented by two, one line end at the end.
Status WriteJsonFile(const std::string& path, const JsonValue& root);

} // namespace kestrel
