#pragma once
// The translator's fixed-capacity stack of 16-bit integers: indentation levels and
// block kinds of open blocks, and open parentheses of expressions.
#include <array>
#include <cstdint>

namespace kestrel {

// Holds up to 64 entries in items[1..64]; items[0] is never used. It never grows and
// never fails: a push on a full stack and a pop from an empty one do nothing, so callers
// ask isFull and isEmpty first where it matters.
class ClassStack {
public:
    static constexpr std::int16_t kCapacity = 64;

    // Empties the stack. The items keep their old values; nothing below top is read.
    void Initialize() { top_ = 0; }

    // Stores the value on top; does nothing when the stack is full.
    void Push(std::int16_t value);

    // Removes and returns the value on top; returns 0 and changes nothing when empty.
    std::int16_t Pop();

    bool isEmpty() const { return top_ == 0; }
    bool isFull() const { return top_ == kCapacity; }

private:
    std::array<std::int16_t, kCapacity + 1> items_{};
    std::int16_t top_ = 0;
};

} // namespace kestrel
