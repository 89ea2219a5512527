#include "backends/x11/key_table.h"

#include <gtest/gtest.h>

namespace quillgate::x11 {
namespace {

TEST(X11KeyTable, TheAllowedKeysHaveTheirKeysyms) {
    EXPECT_EQ(keysymOf(36), 0xff0dU);   // enter
    EXPECT_EQ(keysymOf(48), 0xff09U);   // tab
    EXPECT_EQ(keysymOf(53), 0xff1bU);   // escape
    EXPECT_EQ(keysymOf(51), 0xff08U);   // backspace
    EXPECT_EQ(keysymOf(117), 0xffffU);  // delete
    EXPECT_EQ(keysymOf(123), 0xff51U);  // left
    EXPECT_EQ(keysymOf(124), 0xff53U);  // right
    EXPECT_EQ(keysymOf(126), 0xff52U);  // up
    EXPECT_EQ(keysymOf(125), 0xff54U);  // down
    EXPECT_EQ(keysymOf(115), 0xff50U);  // home
    EXPECT_EQ(keysymOf(119), 0xff57U);  // end
    EXPECT_EQ(keysymOf(0), uint32_t('a'));
    EXPECT_EQ(keysymOf(9), uint32_t('v'));
    EXPECT_EQ(keysymOf(63), std::nullopt);  // fn has no key here
    EXPECT_EQ(keysymOf(200), std::nullopt);
}

TEST(X11KeyTable, CommandChordsAreControlChords) {
    EXPECT_EQ(modifierKeysyms(0x100000), (std::vector<uint32_t>{keysym::controlL}));
    EXPECT_EQ(keysymOf(55), keysym::controlL);  // held Command reads as held Control
    EXPECT_EQ(modifierKeysyms(0x100000 | 0x20000 | 0x80000),
              (std::vector<uint32_t>{keysym::controlL, keysym::shiftL, keysym::altL}));
    EXPECT_TRUE(modifierKeysyms(0).empty());
    // Bits that are no modifier (the key's own device flags) hold nothing.
    EXPECT_TRUE(modifierKeysyms(0x100).empty());
}

}  // namespace
}  // namespace quillgate::x11
