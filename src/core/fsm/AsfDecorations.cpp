// Frames and free text objects of a diagram, from the document's records: a frame's two
// corners and a text object's point and text.
#include "fsm/AsfDecorations.h"

namespace kestrel {

AsfDecorations DescribeDecorations(const AsfDocument& doc) {
    AsfDecorations out;
    const std::vector<AsfLine>& lines = doc.Lines();
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i) {
        const AsfLine& r = lines[i];
        if (r.drawing == AsfDrawing::Frame && r.geometry.size() >= 2)
            out.frames.push_back({r.geometry[0], r.geometry[1]});
        if (r.drawing == AsfDrawing::Text && !r.geometry.empty() && r.text)
            out.texts.push_back({r.geometry[0], *r.text});
    }
    return out;
}

} // namespace kestrel
