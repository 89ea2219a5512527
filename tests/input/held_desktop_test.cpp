// The last proof and the event it allows run with the desktop held, and
// nothing held asks an application for accessibility: on a desktop that
// can be held, an application answering would wait for the hold to end.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backends/sim/sim_platform.h"
#include "service/request_service.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

// The simulated desktop, telling what happened while it was held.
class WatchedDesktop final : public sim::SimPlatform {
public:
    using SimPlatform::SimPlatform;

    Hold holdDesktop() override {
        EXPECT_FALSE(held_) << "held twice";
        held_ = true;
        listedWhileHeld_ = false;
        return Hold(this, [this](void*) { held_ = false; });
    }
    std::optional<Value> windowList(WindowListOption option) override {
        listedWhileHeld_ |= held_;
        return SimPlatform::windowList(option);
    }
    Element applicationElement(int32_t pid) override {
        if (held_) askedWhileHeld.push_back("applicationElement");
        return SimPlatform::applicationElement(pid);
    }
    AxResult copyAttribute(const Element& element, const std::string& attribute) override {
        if (held_) askedWhileHeld.push_back(attribute);
        return SimPlatform::copyAttribute(element, attribute);
    }
    AxResult elementAtPosition(const Element& element, Point point) override {
        if (held_) askedWhileHeld.push_back("elementAtPosition");
        return SimPlatform::elementAtPosition(element, point);
    }
    bool post(const KeyboardEvent& event) override {
        posted.push_back(std::string(event.down ? "key down" : "key up") + proof());
        return SimPlatform::post(event);
    }
    bool post(const MouseEvent& event) override {
        posted.push_back("mouse " + std::to_string(event.type) + proof());
        return SimPlatform::post(event);
    }
    bool post(const ScrollEvent& event) override {
        posted.push_back("scroll" + proof());
        return SimPlatform::post(event);
    }

    std::vector<std::string> posted;  // each event, and whether it was proven while held
    std::vector<std::string> askedWhileHeld;

private:
    std::string proof() const { return held_ ? (listedWhileHeld_ ? " held, listed" : " held") : ""; }

    bool held_ = false;
    bool listedWhileHeld_ = false;
};

std::vector<std::string> execute(std::string_view action) {
    auto desktop = std::make_shared<WatchedDesktop>(Value(testing::chatScene()));
    RequestService service(desktop);
    const std::string line = testing::jsonText(Object{
        {"op", "execute"}, {"bound", testing::chatBinding()}, {"action", testing::parseJson(action)}});
    EXPECT_EQ(service.respond(line.data(), line.size()), R"({"ok":true})") << action;
    EXPECT_EQ(desktop->askedWhileHeld, std::vector<std::string>{}) << action;
    return desktop->posted;
}

TEST(HeldDesktop, EveryPointerEventIsPostedHeldRightAfterTheWindowListSaidItMay) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(execute(R"({"kind": "move", "x": 0.5, "y": 0.5})"), Lines{"mouse 5 held, listed"});
    EXPECT_EQ(execute(R"({"kind": "scroll", "x": 0.5, "y": 0.5, "amount": 2, "direction": "up"})"),
              Lines{"scroll held, listed"});
    // Each click of a double click has a hold of its own.
    EXPECT_EQ(execute(R"({"kind": "click", "x": 0.5, "y": 0.5, "button": "right", "count": 2})"),
              (Lines{"mouse 3 held, listed", "mouse 4 held, listed", "mouse 3 held, listed", "mouse 4 held, listed"}));
}

TEST(HeldDesktop, AKeyGoesDownHeldAndComesUpAfterThePauseUnheld) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(execute(R"({"kind": "key", "key": "ctrl+a"})"), (Lines{"key down held, listed", "key up"}));
    // Return goes to the process first, down and up in one hold.
    EXPECT_EQ(execute(R"({"kind": "key", "key": "enter"})"),
              (Lines{"key down held, listed", "key up held, listed", "key down held, listed", "key up"}));
}

}  // namespace
}  // namespace quillgate
