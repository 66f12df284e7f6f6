#pragma once
// Sample diagrams shared by the diagram tests.
#include "fsm/AsfDocument.h"

#include <gtest/gtest.h>

#include <string_view>

namespace kestrel::sample {

// A template head and an objects block with the frame only, of the function Send.
inline AsfDocument EmptyDiagram(std::string_view path = "/p/Input/Send.asf") {
    AsfDocument doc;
    Status s = AsfDocument::Load(
        "VERSION=1.19\r\nHEADER\r\nFILE=\"Send.asf\"\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\n"
        "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700\r\n"
        "END\r\n",
        path, doc);
    EXPECT_TRUE(s) << s.message();
    return doc;
}

} // namespace kestrel::sample
