// "capture", "capture-input", "bind-region" and "pointer" as the host uses
// them: the picture it is given, the guard it pins and every refusal of a
// reference.

#include <gtest/gtest.h>

#include "capture/encoding.h"
#include "image/base64.h"
#include "image/png.h"
#include "service/failure.h"
#include "support/binding_requests.h"
#include "support/captures.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::at;
using testing::boundRequest;
using testing::errorOf;
using testing::Harness;

const std::string invalidReference(msg::invalidReference);

Image decoded(const Object& payload) {
    auto bytes = image::base64Decode(*payload.at("base64").asString());
    EXPECT_TRUE(bytes.has_value());
    auto picture = image::decodePng(bytes.value_or(std::vector<uint8_t>{}));
    EXPECT_TRUE(picture.has_value());
    return picture.value_or(Image());
}

std::string pngText(const Image& picture) { return image::base64Encode(image::encodePng(picture)); }

Object bindRequest(Value region, Value reference) {
    Object request = boundRequest("bind-region");
    if (!region.isNull()) request["region"] = std::move(region);
    if (!reference.isNull()) request["reference"] = std::move(reference);
    return request;
}

TEST(CaptureOperations, BothCaptureNamesAnswerTheWindowsPictureAtItsPointSize) {
    Object scene = testing::unhurriedChatScene();
    Value& bounds = at(at(scene["windows"], 0), "kCGWindowBounds");
    at(bounds, "Width") = 900.7;
    at(bounds, "Height") = 600.2;
    Harness h(scene);
    const Object capture = h.call(boundRequest("capture"));
    const Object captureInput = h.call(boundRequest("capture-input"));
    ASSERT_EQ(errorOf(capture), "");
    EXPECT_EQ(testing::jsonText(capture), testing::jsonText(captureInput));
    EXPECT_EQ(*capture.at("width").asNumber(), 900);
    EXPECT_EQ(*capture.at("height").asNumber(), 600);
    const Image picture = decoded(capture);
    EXPECT_EQ(picture.width, 900);
    EXPECT_EQ(picture.height, 600);
    EXPECT_EQ(testing::colourAt(picture, 899, 55), "#e6e6e6");
    EXPECT_EQ(testing::colourAt(picture, 899, 56), "#f5f5f5");
}

TEST(CaptureOperations, AGuardedCaptureTakesOnePictureForTheGuardAndOneForTheAnswer) {
    Harness h(testing::unhurriedChatScene());
    const Object guard = testing::pinnedGuard(h);
    const size_t before = testing::captureCalls(h).size();
    EXPECT_EQ(errorOf(h.call(boundRequest("capture", guard))), "");
    const auto calls = testing::captureCalls(h);
    EXPECT_EQ(std::vector<std::string>(calls.begin() + static_cast<long>(before), calls.end()),
              (std::vector<std::string>{"content", "screenshot", "content", "screenshot"}));
}

TEST(CaptureOperations, BindRegionPinsTheReferencesHashAndKeepsTheRegionsOtherKeys) {
    Harness h(testing::unhurriedChatScene());
    const Object captured = h.call(boundRequest("capture"));
    Object region = testing::headerRegion();
    region["hash"] = "an older hash";
    region["label"] = "header";
    const Object answer = h.call(bindRequest(region, captured.at("base64")));
    ASSERT_EQ(errorOf(answer), "");
    Object expected = region;
    expected["hash"] = hash(decoded(captured), region);
    EXPECT_EQ(testing::jsonText(answer.at("guard")), testing::jsonText(expected));
    EXPECT_EQ(errorOf(h.call(boundRequest("check", answer.at("guard")))), "");
}

TEST(CaptureOperations, BindRegionRefusesAnyReferenceThatIsNotAPictureOfTheWholeWindow) {
    Harness h(testing::unhurriedChatScene());
    const std::string reference = *h.call(boundRequest("capture")).at("base64").asString();
    const Object region = testing::headerRegion();
    const size_t captures = testing::captureCalls(h).size();

    EXPECT_EQ(errorOf(h.call(bindRequest(Value(), reference))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest("0,0,900,56", reference))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, Value()))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, 5))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, ""))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, reference.substr(0, 76) + "\n" + reference.substr(76)))),
              invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, reference.substr(0, reference.size() / 8 * 4)))), invalidReference);
    EXPECT_EQ(errorOf(h.call(bindRequest(region, image::base64Encode(std::string_view("not a picture"))))),
              invalidReference);
    for (auto [w, h2] : {std::pair{899, 600}, std::pair{900, 601}, std::pair{1800, 1200}}) {
        EXPECT_EQ(errorOf(h.call(bindRequest(region, pngText(Image(w, h2))))), invalidReference) << w << "x" << h2;
    }
    Object thin = region;
    thin["height"] = 1;
    EXPECT_EQ(errorOf(h.call(bindRequest(thin, reference))), msg::invalidGuardRegion);
    EXPECT_EQ(testing::captureCalls(h).size(), captures) << "refused before anything was captured";
}

TEST(CaptureOperations, BindRegionRefusesAReferenceTheLiveHeaderNoLongerMatches) {
    Harness h(testing::unhurriedChatScene());
    Image stale = decoded(h.call(boundRequest("capture")));
    stale.row(10)[4 * 450] ^= 1;  // one pixel of the header
    EXPECT_EQ(errorOf(h.call(bindRequest(testing::headerRegion(), pngText(stale)))),
              msg::headerChangedSinceVerification);
    // Outside the region a difference does not matter.
    Image elsewhere = decoded(h.call(boundRequest("capture")));
    elsewhere.row(300)[4 * 450] ^= 1;
    EXPECT_EQ(errorOf(h.call(bindRequest(testing::headerRegion(), pngText(elsewhere)))), "");
}

TEST(CaptureOperations, AWindowMovedDuringTheCaptureIsNotAnswered) {
    Object scene = testing::unhurriedChatScene();
    Value shifted = scene["windows"];
    at(at(at(shifted, 0), "kCGWindowBounds"), "Y") = 49;
    scene["reactions"] = Array{Object{{"on", Object{{"sck", true}}}, {"merge", Object{{"windows", shifted}}}}};
    Harness h(scene);
    EXPECT_EQ(errorOf(h.call(boundRequest("capture"))), msg::moved);
}

TEST(CaptureOperations, PointerReportsWhereTheTargetWouldLandWithoutMovingThePointer) {
    Object scene = testing::unhurriedChatScene();
    scene["input"] = Object{{"pointer", Array{12.7, -3.5}}};
    Harness h(scene);
    Object request = boundRequest("pointer");
    request["x"] = 1;
    request["y"] = 0.5;
    EXPECT_EQ(testing::jsonText(h.call(request)),
              R"({"ok":true,"pointer":{"inside":true,"targetX":999,"targetY":349,"x":12,"y":-3}})");
    request["x"] = "1";
    EXPECT_EQ(errorOf(h.call(request)), msg::invalidPointer);
    EXPECT_TRUE(h.events().empty());
}

}  // namespace
}  // namespace quillgate
