#include "translator/ClassStack.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// 64 entries, the 65th ignored; last in, first out; a Pop on an empty stack gives 0 and
// leaves no debt; Initialize empties a full stack.
TEST(ClassStack, HoldsSixtyFourEntriesAndPopsZeroWhenEmpty) {
    ClassStack stack;
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(stack.Pop(), 0);
    EXPECT_TRUE(stack.isEmpty());
    for (int i = 1; i <= 64; ++i) {
        EXPECT_FALSE(stack.isFull()) << "after " << i - 1 << " pushes";
        stack.Push(static_cast<std::int16_t>(i * 100));
    }
    EXPECT_TRUE(stack.isFull());
    stack.Push(-7); // ignored
    EXPECT_EQ(stack.Pop(), 6400);
    EXPECT_FALSE(stack.isFull());
    for (int i = 63; i >= 1; --i) EXPECT_EQ(stack.Pop(), i * 100);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(stack.Pop(), 0);
    stack.Push(-32768);
    EXPECT_EQ(stack.Pop(), -32768);
    EXPECT_TRUE(stack.isEmpty());

    for (int i = 0; i < 64; ++i) stack.Push(static_cast<std::int16_t>(i));
    stack.Initialize();
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_FALSE(stack.isFull());
    EXPECT_EQ(stack.Pop(), 0);
}

} // namespace
} // namespace kestrel
