#pragma once
// What the two assignment windows' OK share: reading the hidden assigned mark and putting
// a copy of the chosen behaviour file into the project's Input folder.
#include <string>
#include <string_view>

namespace kestrel {

// The hidden mark ("1" or "0") read as a number: true when it is 1.
bool MarkReadsAsOne(std::string_view mark);

// Copies `source` to <projectFolder>/Input/<its file name>, replacing a file of that name,
// and returns that name. A failed copy is not reported (Generate names the missing file);
// a source that already is that file in Input is left alone.
std::string CopyIntoInput(std::string_view projectFolder, std::string_view source);

} // namespace kestrel
