#pragma once
// Running captures on a simulated desktop and reading back which way each
// one went.

#include <optional>
#include <string>
#include <vector>

#include "platform/image.h"
#include "support/harness.h"

namespace quillgate::testing {

// chatScene() with these windows in front, run slowly enough that the
// screenshot service's quick answer always beats the 3-second capture timer
// (0.75 s of real time), however loaded the machine or slow the build.
Object unhurriedChatScene(const std::vector<Value>& inFront = {});

// A capture's picture, or its refusal.
struct Outcome {
    std::optional<Image> image;
    std::string refusal;
};

// capture() of chatWindow() on the harness's service.
Outcome captureChat(Harness& h);

// The calls the program made of the screenshot service and tool so far, in
// order: "content", "screenshot", "tool", "toolTerminated".
std::vector<std::string> captureCalls(const Harness& h);

// The opaque colour of one pixel as "#rrggbb".
std::string colourAt(const Image& image, int x, int y);

// Lets simulated time pass until no screenshot is outstanding; false when
// one still is after `seconds`.
bool settle(Harness& h, double seconds);

}  // namespace quillgate::testing
