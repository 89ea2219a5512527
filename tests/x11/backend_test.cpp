#include "backends/x11/backend.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/backend.h"
#include "support/scoped_env.h"

namespace quillgate::x11 {
namespace {

Environment with(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        auto it = values.find(name);
        if (it == values.end() || it->second.empty()) return std::nullopt;
        return it->second;
    };
}

TEST(X11Backend, RefusesWaylandAndAMissingDisplay) {
    EXPECT_EQ(refusal(with({{"DISPLAY", ":0"}})), std::nullopt);
    EXPECT_EQ(refusal(with({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}})), std::nullopt);
    // XWayland gives a DISPLAY too; the session is still Wayland's.
    const auto wayland = refusal(with({{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}));
    ASSERT_TRUE(wayland);
    EXPECT_NE(wayland->find("Wayland"), std::string::npos);
    EXPECT_EQ(refusal(with({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}})), wayland);
    const auto noDisplay = refusal(with({{"DISPLAY", ""}}));
    ASSERT_TRUE(noDisplay);
    EXPECT_NE(noDisplay->find("DISPLAY"), std::string::npos);
    for (const auto& line : {*wayland, *noDisplay}) EXPECT_EQ(line.find('\n'), std::string::npos);
}

// The desktop is chosen by the environment and never falls back.
TEST(X11Backend, DesktopChoice) {
    {
        testing::ScopedEnv desktop("QUILLGATE_DESKTOP", "x11");
        testing::ScopedEnv display("DISPLAY", "");
        testing::ScopedEnv wayland("WAYLAND_DISPLAY", "");
        try {
            makePlatform();
            ADD_FAILURE() << "started without a display";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("DISPLAY"), std::string::npos);
        }
    }
    {
        testing::ScopedEnv desktop("QUILLGATE_DESKTOP", "x11");
        testing::ScopedEnv display("DISPLAY", ":9999");
        testing::ScopedEnv wayland("WAYLAND_DISPLAY", "");
        testing::ScopedEnv session("XDG_SESSION_TYPE", "");
        EXPECT_THROW(makePlatform(), std::runtime_error);  // no such display
    }
    {
        testing::ScopedEnv desktop("QUILLGATE_DESKTOP", "wayland");
        try {
            makePlatform();
            ADD_FAILURE() << "started an unknown desktop";
        } catch (const std::runtime_error& e) {
            // The message names the desktops there are.
            const std::string message = e.what();
            EXPECT_NE(message.find("\"sim\""), std::string::npos) << message;
            EXPECT_NE(message.find("\"x11\""), std::string::npos) << message;
        }
    }
    {
        // Named explicitly, as the tests and transcripts name it on a Mac.
        testing::ScopedEnv desktop("QUILLGATE_DESKTOP", "sim");
        testing::ScopedEnv scene("QUILLGATE_SCENE", "");
        EXPECT_EQ(makePlatform()->frontmostApplication()->bundle, "com.tencent.xinWeChat");
    }
    testing::ScopedEnv desktop("QUILLGATE_DESKTOP", "");
    testing::ScopedEnv scene("QUILLGATE_SCENE", "");
    auto platform = makePlatform();
    ASSERT_TRUE(platform->frontmostApplication());
    EXPECT_EQ(platform->frontmostApplication()->bundle, "com.tencent.xinWeChat");
}

}  // namespace
}  // namespace quillgate::x11
