#include "backends/x11/ax_roles.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillgate::x11 {
namespace {

TEST(X11AxRoles, TextFieldsAreReadButPasswordsNever) {
    const AxRole entry = axRoleOf("text", false);
    EXPECT_EQ(entry.role, "AXTextField");
    EXPECT_EQ(entry.text, TextSource::content);
    EXPECT_EQ(axRoleOf("text", true).role, "AXTextArea");
    EXPECT_EQ(axRoleOf("entry", false).role, "AXTextField");
    EXPECT_EQ(axRoleOf("paragraph", false).role, "AXTextArea");

    const AxRole password = axRoleOf("password text", false);
    EXPECT_EQ(password.role, "AXTextField");
    EXPECT_EQ(password.subrole, "AXSecureTextField");
    EXPECT_EQ(password.text, TextSource::secure);
}

TEST(X11AxRoles, WindowsDialogsAndControls) {
    const AxRole frame = axRoleOf("frame", false);
    EXPECT_EQ(frame.role, "AXWindow");
    EXPECT_EQ(frame.subrole, "AXStandardWindow");
    EXPECT_TRUE(frame.window);
    for (const char* dialog : {"dialog", "alert", "file chooser"}) {
        const AxRole role = axRoleOf(dialog, false);
        EXPECT_EQ(role.role, "AXWindow") << dialog;
        EXPECT_EQ(role.subrole, "AXDialog") << dialog;
        EXPECT_TRUE(role.window) << dialog;
    }
    EXPECT_FALSE(axRoleOf("panel", false).window);
    EXPECT_EQ(axRoleOf("push button", false).role, "AXButton");
    EXPECT_EQ(axRoleOf("push button", false).text, TextSource::title);
    EXPECT_EQ(axRoleOf("menu item", false).role, "AXMenuItem");
    EXPECT_EQ(axRoleOf("menu bar", false).role, "AXMenuBar");
    EXPECT_EQ(axRoleOf("label", false).role, "AXStaticText");
    EXPECT_EQ(axRoleOf("label", false).text, TextSource::label);
    EXPECT_EQ(axRoleOf("list", false).role, "AXList");
    EXPECT_EQ(axRoleOf("scroll pane", false).role, "AXScrollArea");
    EXPECT_EQ(axRoleOf("something new", false).role, "AXUnknown");
}

TEST(X11AxRoles, OffScreenSentinelMeansNoPosition) {
    EXPECT_TRUE(knownExtents(0, 0, 10, 10));
    EXPECT_TRUE(knownExtents(-50, -20, 0, 0));  // a window partly left of the screen
    EXPECT_FALSE(knownExtents(INT_MIN, INT_MIN, -1, -1));
    EXPECT_FALSE(knownExtents(INT_MIN, 5, 10, 10));
    EXPECT_FALSE(knownExtents(5, 5, -1, 10));
}

TEST(X11AxRoles, PressIsTheClickLikeActionElseTheDefault) {
    EXPECT_TRUE(pressedByClick(axRoleOf("push button", false).role));
    EXPECT_TRUE(pressedByClick(axRoleOf("menu item", false).role));
    EXPECT_FALSE(pressedByClick(axRoleOf("text", false).role));
    EXPECT_FALSE(pressedByClick(axRoleOf("frame", false).role));

    EXPECT_EQ(pressAction({}), std::nullopt);
    EXPECT_EQ(pressAction({"click"}), 0);
    EXPECT_EQ(pressAction({"activate", "click"}), 1);
    EXPECT_EQ(pressAction({"toggle"}), 0);
    EXPECT_EQ(pressAction({"expand or contract", "activate"}), 1);
    EXPECT_EQ(pressAction({"custom"}), 0);
}

}  // namespace
}  // namespace quillgate::x11
