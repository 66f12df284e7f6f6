#include "translator/ClassStack.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ClassStack, HoldsSixtyFourEntriesAndIgnoresTheSixtyFifth) {
    ClassStack stack;
    EXPECT_TRUE(stack.isEmpty());
    for (int i = 1; i <= 64; ++i) {
        EXPECT_FALSE(stack.isFull()) << "after " << i - 1 << " pushes";
        stack.Push(static_cast<std::int16_t>(i * 100));
    }
    EXPECT_TRUE(stack.isFull());
    EXPECT_FALSE(stack.isEmpty());

    stack.Push(-7); // ignored
    EXPECT_TRUE(stack.isFull());
    EXPECT_EQ(stack.Pop(), 6400);
    EXPECT_FALSE(stack.isFull());

    // The rest comes back last in, first out, down to the first value.
    for (int i = 63; i >= 1; --i) EXPECT_EQ(stack.Pop(), i * 100);
    EXPECT_TRUE(stack.isEmpty());
}

TEST(ClassStack, PopOnEmptyGivesZeroAndStaysEmpty) {
    ClassStack stack;
    EXPECT_EQ(stack.Pop(), 0);
    EXPECT_TRUE(stack.isEmpty());

    stack.Push(-32768);
    stack.Push(32767);
    EXPECT_EQ(stack.Pop(), 32767);
    EXPECT_EQ(stack.Pop(), -32768);
    EXPECT_EQ(stack.Pop(), 0);
    EXPECT_EQ(stack.Pop(), 0);
    EXPECT_TRUE(stack.isEmpty());

    // Popping past empty must not leave a debt: one push is then one entry.
    stack.Push(5);
    EXPECT_EQ(stack.Pop(), 5);
    EXPECT_TRUE(stack.isEmpty());
}

TEST(ClassStack, InitializeEmptiesAFullStack) {
    ClassStack stack;
    for (int i = 0; i < 64; ++i) stack.Push(static_cast<std::int16_t>(i));
    stack.Initialize();
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_FALSE(stack.isFull());
    EXPECT_EQ(stack.Pop(), 0);

    // The peek the statement translator does: Pop then Push of the same value.
    stack.Push(3);
    stack.Push(9);
    std::int16_t top = stack.Pop();
    stack.Push(top);
    EXPECT_EQ(stack.Pop(), 9);
    EXPECT_EQ(stack.Pop(), 3);
}

} // namespace
} // namespace kestrel
