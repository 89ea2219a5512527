// The host's binding read into its record.

#include <gtest/gtest.h>

#include "core/binding.h"

namespace quillgate {
namespace {

// The binding keeps what the request-value coercions make of each field, so
// a host's loosely typed binding is judged exactly as its JSON was.
TEST(Binding, ReadsEachFieldWithTheRequestValueCoercions) {
    const Binding b = binding(Object{{"hwnd", 60},  // a number is no window number's text
                                     {"pid", true},
                                     {"process", Array{}},
                                     {"processStart", "1765000000.25"},
                                     {"title", "Chat"},
                                     {"width", "900"},
                                     {"height", 600.5}});
    EXPECT_EQ(b.hwnd, "");
    EXPECT_EQ(b.pid, 1.0);
    EXPECT_EQ(b.process, "");
    EXPECT_EQ(b.processStart, "1765000000.25");
    EXPECT_EQ(b.title, "Chat");
    EXPECT_EQ(b.width, std::nullopt);
    EXPECT_EQ(b.height, 600.5);
    EXPECT_FALSE(b.guard);
}

// Only an object is a guard: anything else leaves the binding unpinned, as
// an absent one does. A pinned region keeps its sides for the hash to judge.
TEST(Binding, OnlyAnObjectIsAGuard) {
    for (Value notAGuard : {Value(nullptr), Value("x"), Value(Array{Value(1)}), Value(1)})
        EXPECT_FALSE(binding(Object{{"guard", notAGuard}}).guard);

    const Binding pinned = binding(
        Object{{"guard", Object{{"x", 0}, {"y", false}, {"width", 900.5}, {"hash", 7}, {"extra", "kept out"}}}});
    ASSERT_TRUE(pinned.guard);
    EXPECT_EQ(pinned.guard->region.x, 0.0);
    EXPECT_EQ(pinned.guard->region.y, 0.0);
    EXPECT_EQ(pinned.guard->region.width, 900.5);
    EXPECT_EQ(pinned.guard->region.height, std::nullopt);
    EXPECT_EQ(pinned.guard->hash, "");
}

}  // namespace
}  // namespace quillgate
