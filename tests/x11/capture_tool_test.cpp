#include "backends/x11/capture_tool.h"

#include <gtest/gtest.h>

namespace quillgate::x11 {
namespace {

TEST(X11CaptureTool, TheMacToolsCommandBecomesImport) {
    const auto request = toolRequest({"-x", "-o", "-l4194307", "-t", "png", "/tmp/veskor-cap-1-4194307.png"});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, 4194307U);
    EXPECT_EQ(request->path, "/tmp/veskor-cap-1-4194307.png");
    EXPECT_EQ(importCommand(77, request->path),
              (Command{"/usr/bin/import", {"-silent", "-window", "77", "png:/tmp/veskor-cap-1-4194307.png"}}));
}

TEST(X11CaptureTool, CommandsWithoutAWindowOrFileAreRefused) {
    EXPECT_FALSE(toolRequest({}));
    EXPECT_FALSE(toolRequest({"-x", "/tmp/a.png"}));
    EXPECT_FALSE(toolRequest({"-l12x", "/tmp/a.png"}));
    EXPECT_FALSE(toolRequest({"-l99999999999", "/tmp/a.png"}));
    EXPECT_FALSE(toolRequest({"-l12", "-t"}));
}

}  // namespace
}  // namespace quillgate::x11
