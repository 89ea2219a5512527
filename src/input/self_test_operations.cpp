#include "input/self_test_operations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "capture/encoding.h"
#include "core/failure.h"
#include "input/key_posting.h"
#include "windows/accessibility.h"
#include "windows/occlusion.h"

namespace quillgate {

namespace {

// A 20 x 16 picture of one opaque colour (red 0.1, green 0.4, blue 0.8).
Image syntheticImage() {
    Image image(20, 16);
    const std::array<uint8_t, 4> colour{static_cast<uint8_t>(std::lround(0.1 * 255)),
                                        static_cast<uint8_t>(std::lround(0.4 * 255)),
                                        static_cast<uint8_t>(std::lround(0.8 * 255)), 255};
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        std::copy(colour.begin(), colour.end(), image.rgba.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return image;
}

// A region as a host writes one, read as the guard reads it.
GuardRegion region(Value x, Value y, Value width, Value height) {
    return guardRegion(
        Object{{"x", std::move(x)}, {"y", std::move(y)}, {"width", std::move(width)}, {"height", std::move(height)}});
}

// Whether the call is refused the way the guard refuses: with a GuardFailure.
// Returning normally, or failing any other way, is a broken guard.
template <typename F>
bool refused(F&& call) {
    try {
        call();
    } catch (const GuardFailure&) {
        return true;
    } catch (...) {
        return false;
    }
    return false;
}

// The steps in order; the first unexpected outcome ends the test. Errors
// other than the expected refusals propagate and count as a failure.
bool runSteps(Platform& platform) {
    const Image image = syntheticImage();
    const GuardRegion valid = region(2, 2, 10, 8);
    const std::string h1 = hash(image, valid);
    if (h1.size() != 64) return false;
    if (hash(image, valid) != h1) return false;
    if (png(image).empty()) return false;

    const std::array<GuardRegion, 3> invalid{
        region(-1, 0, 2, 2),   // negative origin
        region(0, 0, 21, 2),   // one pixel past the width
        region(0.5, 0, 2, 2),  // not a whole number
    };
    for (const GuardRegion& r : invalid) {
        if (!refused([&] { hash(image, r); })) return false;
    }

    // Not an allowed chord whatever its prefix; refused before any event exists.
    if (!refused([&] { postKey(platform, "ctrl+q", std::nullopt); })) return false;

    const VisibleLayer window{42, Rect{0, 0, 800, 600}, ""};
    const VisibleLayer small{99, Rect{290, 105, 20, 20}, ""};
    const std::vector<VisibleLayer> alone{window};
    const std::vector<VisibleLayer> smallInFront{small, window};
    const std::vector<VisibleLayer> smallBehind{window, small};
    const Rect strip{100, 100, 400, 40};
    if (!regionIsVisible(42, strip, alone)) return false;
    if (regionIsVisible(42, strip, smallInFront)) return false;
    if (!regionIsVisible(42, strip, smallBehind)) return false;
    if (regionIsVisible(42, strip, {})) return false;
    if (regionIsVisible(42, Rect{799, 0, 20, 20}, alone)) return false;

    const Rect base{0, 0, 800, 600};
    if (!near(base, base)) return false;
    for (const Rect& r : {Rect{10, 0, 800, 600}, Rect{0, 10, 800, 600}, Rect{0, 0, 801, 600}}) {
        if (near(base, r)) return false;
    }
    return true;
}

}  // namespace

bool translateSelfTest(Platform& platform) noexcept {
    try {
        return runSteps(platform);
    } catch (...) {
        return false;
    }
}

Object selfTestOperation(const Call& call) {
    if (!translateSelfTest(call.platform())) reject(msg::selfTestFailed);
    return Object{{"kind", "synthetic-helper-contract"}, {"inputExecuted", false}};
}

}  // namespace quillgate
