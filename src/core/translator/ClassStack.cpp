// The bounded stack: 64 entries in items[1..64] with top counting the entries held.
// Push beyond the capacity and Pop on an empty stack are quiet no-ops (Pop gives 0).
#include "translator/ClassStack.h"

namespace kestrel {

void ClassStack::Push(std::int16_t value) {
    if (top_ < kCapacity) {
        ++top_;
        items_[static_cast<std::size_t>(top_)] = value;
    }
}

std::int16_t ClassStack::Pop() {
    if (top_ > 0) {
        std::int16_t value = items_[static_cast<std::size_t>(top_)];
        --top_;
        return value;
    }
    return 0;
}

} // namespace kestrel
