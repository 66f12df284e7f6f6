#pragma once
// The records of a diagram that the reader skips but a drawing shows: the frame (F, a
// rectangle given by two corners) and the free text objects (G, a point and a text, such
// as the template's function signature).
#include "fsm/AsfDocument.h"

#include <string>
#include <vector>

namespace kestrel {

struct AsfFrame {
    AsfPoint from;
    AsfPoint to;
};

struct AsfTextObject {
    AsfPoint at;
    std::string text; // stored text
};

struct AsfDecorations {
    std::vector<AsfFrame> frames;
    std::vector<AsfTextObject> texts;
};

// The frames and text objects of the objects block, in file order; records too short for
// their points are left out.
AsfDecorations DescribeDecorations(const AsfDocument& doc);

} // namespace kestrel
