// The popup operations' answers and the keys, presses and clicks behind them,
// on the cases the transcripts leave out.

#include <gtest/gtest.h>

#include "capture/pending_capture.h"
#include "capture/prompt.h"
#include "core/failure.h"
#include "core/values.h"
#include "image/base64.h"
#include "support/ax_trees.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::at;
using testing::eventLines;
using testing::frame;
using testing::Harness;
using testing::listedWindow;
using testing::node;
using Lines = std::vector<std::string>;

const Rect popupFrame{350, 250, 400, 200};

// chatScene() with popup window 61 of `pid` over the chat window, its
// accessibility window "popup" holding `children` in the owner's tree.
Object popupScene(Array children, int32_t pid = 501, Rect where = popupFrame) {
    Object scene = testing::chatSceneWith({listedWindow(61, pid, "Chat", where)});
    Value popup = node(Object{{"id", "popup"}, {"AXRole", "AXWindow"},
                              {"frame", frame(where.x, where.y, where.width, where.height)}},
                       std::move(children));
    if (pid == 501) {
        at(at(at(scene["apps"], 0), "ax"), "AXWindows").asArray()->push_back(std::move(popup));
    } else {
        scene["apps"].asArray()->push_back(Object{{"pid", pid}, {"name", "Other"}, {"launchDate", 1},
                                                  {"ax", Object{{"AXWindows", Array{std::move(popup)}}}}});
    }
    return scene;
}

std::string send(Harness& h, const std::string& op, Object extra = {}) {
    extra["op"] = op;
    extra["bound"] = testing::chatBinding();
    return h.send(testing::jsonText(extra));
}

Value button(const std::string& id, const std::string& title, Rect f = {640, 400, 90, 30}) {
    return Object{{"id", id}, {"AXRole", "AXButton"}, {"AXTitle", title}, {"frame", frame(f.x, f.y, f.width, f.height)}};
}

TEST(PopupStart, ListsTheFirstTwelveOverlappingWindowsRelativeToTheBoundOne) {
    std::vector<Value> small;
    for (int i = 0; i < 15; ++i) small.push_back(listedWindow(70 + i, 700 + i, "Tip", {100.7 + i, 49.2, 50.5, 60}, i));
    Harness h(testing::chatSceneWith(small));
    Value answer = testing::parseJson(send(h, "popup-close"));
    const Array& debug = *answer.find("debug")->asArray();
    ASSERT_EQ(debug.size(), 12u);
    EXPECT_EQ(testing::jsonText(debug[11]),
              R"({"alpha":1,"h":60,"layer":11,"owner":"Tip","pid":711,"w":50,"x":11,"y":0})");
    EXPECT_EQ(eventLines(h), Lines{});
}

TEST(PopupStart, FallsBackToTheApplicationsOwnDialogOnlyForPressing) {
    Harness h(popupScene({button("ok", "OK", {1300, 250, 80, 30})}, 501, {1100, 100, 300, 200}));
    EXPECT_EQ(send(h, "popup"), R"({"debug":[],"found":false,"ok":true})");
    EXPECT_EQ(send(h, "popup-close"), R"({"debug":[],"found":false,"ok":true})");
    // The press leaves the dialog open, so it is clicked as well.
    EXPECT_EQ(send(h, "popup-press", {{"labels", Array{"OK"}}}),
              R"({"clicked":true,"found":true,"ok":true,"pressed":true,"stillOpen":true})");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what":"action","action":"AXPress","element":"ok","ok":true})",
                                         R"({"what":"activate","pid":501,"ok":true})",
                                         R"({"what":"action","action":"AXRaise","element":"popup","ok":true})",
                                         R"({"what":"mouse","type":5,"x":1340,"y":265,"button":0})",
                                         R"({"what":"mouse","type":1,"x":1340,"y":265,"button":0})",
                                         R"({"what":"mouse","type":2,"x":1340,"y":265,"button":0})"}));
}

TEST(PopupImage, CapturesTheWholePointsOfThePopupUnlessAScreenshotIsOutstanding) {
    Harness h(popupScene({}, 501, {350, 250, 400.9, 200.6}));
    h.main().context().pendingCapture->begin();
    const std::string waiting = testing::jsonText(Object{{"ok", false}, {"error", screenWaitingMessage(h.desktop())}});
    EXPECT_EQ(send(h, "popup", {{"image", true}}), waiting);
    EXPECT_EQ(eventLines(h), Lines{});
    h.main().context().pendingCapture->end();

    Value answer = testing::parseJson(send(h, "popup", {{"image", 1}}));
    EXPECT_EQ(testing::jsonText(*answer.find("width")) + "x" + testing::jsonText(*answer.find("height")), "400x200");
    auto png = image::base64Decode(*answer.find("base64")->asString());
    ASSERT_TRUE(png && png->size() > 24);
    EXPECT_EQ((*png)[19] | ((*png)[18] << 8), 400);  // the PNG header's width
    EXPECT_EQ(eventLines(h), eventLines({R"({"what":"sck","call":"content"})",
                                         R"({"what":"sck","call":"screenshot","windowID":61,"width":400,"height":200})"}));
    EXPECT_FALSE(h.main().context().pendingCapture->pending());

    Object unseen = popupScene({});
    unseen["sck"] = Object{{"windows", Array{Object{{"windowID", 60}, {"pid", 501}}}}};
    Harness hidden(unseen);
    EXPECT_EQ(send(hidden, "popup", {{"image", true}}),
              testing::jsonText(Object{{"ok", false}, {"error", msg::popupCaptureUnavailable}}));
}

// The popup's screenshot waits no longer than the window capture's timer; one
// that has not answered by then stays counted until it returns.
TEST(PopupImage, WaitsForTheScreenshotOnlyAsLongAsTheCaptureTimer) {
    const auto screenshots = [](Harness& h) {
        int count = 0;
        for (const Value& event : h.events()) count += text(event.find("call")) == "screenshot";
        return count;
    };
    // The picture's width, or the error.
    const auto picture = [](Harness& h, const std::string& op) {
        Object request{{"op", op}, {"bound", testing::chatBinding()}};
        if (op == "popup") request["image"] = true;
        const Value answer = testing::parseJson(h.send(testing::jsonText(request)));
        const Value* width = answer.find("width");
        return width ? testing::jsonText(*width) : text(answer.find("error"));
    };
    for (double delay : {2.9, 3.1}) {
        Object scene = popupScene({});
        scene["sck"] = Object{{"delay", delay}};
        Harness h(scene);
        const double start = h.desktop().now();
        const std::string answer = picture(h, "popup");
        const double waited = h.desktop().now() - start;
        if (delay < 3) {
            EXPECT_EQ(answer, "400") << "a screenshot inside the timer is the answer";
            EXPECT_LT(waited, 3);
            continue;
        }
        EXPECT_EQ(answer, screenWaitingMessage(h.desktop()));
        EXPECT_GE(waited, 3) << "answered by the timer";
        EXPECT_LT(waited, delay);
        EXPECT_TRUE(h.main().context().pendingCapture->pending()) << "the abandoned screenshot is still counted";
        ASSERT_TRUE(h.settle(1)) << "its late answer ends the count";
        // So the next picture asks the service again (which is still slow).
        EXPECT_EQ(picture(h, "popup"), screenWaitingMessage(h.desktop()));
        EXPECT_EQ(screenshots(h), 2);
    }

    Object hung = popupScene({});
    hung["sck"] = Object{{"delay", nullptr}};
    Harness h(hung);
    const std::string waiting = screenWaitingMessage(h.desktop());
    EXPECT_EQ(picture(h, "popup"), waiting);
    // Later popup pictures are refused at once, and the window capture goes
    // to the tool, as for any outstanding screenshot.
    EXPECT_EQ(picture(h, "popup"), waiting);
    EXPECT_EQ(screenshots(h), 1);
    EXPECT_EQ(picture(h, "capture"), "900");
    EXPECT_EQ(screenshots(h), 1);
    EXPECT_TRUE(h.main().context().pendingCapture->pending());
}

TEST(PopupPress, ExplainsWhyNothingWasPressed) {
    Value padded = node(Object{{"AXRole", "AXGroup"}, {"AXTitle", " OK "}}, {button("inner", "OK")});
    struct Case {
        Object scene;
        Value labels;
        const char* why;
    } cases[] = {
        {popupScene({button("ok", "OK")}, 777), Array{"OK"}, "foreign"},
        {popupScene({button("ok", "OK")}), nullptr, "no-labels"},
        {popupScene({button("ok", "OK")}), Array{""}, "no-labels"},
        {popupScene({button("ok", "OK")}), Array{"OK", 1}, "no-labels"},
        {popupScene({button("ok", "OK")}), Array{"  "}, "matches-0"},
        {popupScene({button("a", "OK"), button("b", "OK")}), Array{"OK"}, "matches-2"},
        {popupScene(testing::fan(7, [](int i) { return Value(Object{{"AXValue", "OK"}, {"AXIdentifier", i}}); })),
         Array{"OK"}, "matches-5"},
        {popupScene({padded, padded}), Array{"OK"}, "matches-4"},
    };
    for (Case& c : cases) {
        Harness h(c.scene);
        Object request;
        if (!c.labels.isNull()) request["labels"] = c.labels;
        EXPECT_EQ(send(h, "popup-press", request),
                  std::string(R"({"found":true,"ok":true,"pressed":false,"why":")") + c.why + "\"}");
        EXPECT_EQ(eventLines(h), Lines{}) << c.why;
    }
    Object unreadable = popupScene({button("ok", "OK")});
    at(at(at(unreadable["apps"], 0), "ax"), "AXWindows") = Object{{"error", -25204}};
    Harness h(unreadable);
    EXPECT_EQ(send(h, "popup-press", {{"labels", Array{"OK"}}}),
              R"({"found":true,"ok":true,"pressed":false,"why":"no-labels"})");
}

TEST(PopupPress, PrefersTheOneButtonAndNeverClicksATinyTarget) {
    Value label = Object{{"id", "label"}, {"AXRole", "AXStaticText"}, {"AXValue", "Send"}};
    Harness h(popupScene({label, button("send", "Send", {600, 400, 6, 20})}));
    EXPECT_EQ(send(h, "popup-press", {{"labels", Array{"Send"}}}),
              R"({"clicked":false,"found":true,"ok":true,"pressed":true,"stillOpen":true})");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what":"action","action":"AXPress","element":"send","ok":true})"}));
}

// A press the application has not confirmed in time (its handler runs a
// modal dialog) was delivered: pressing the parent or clicking would press
// twice.
TEST(PopupPress, NeverPressesAgainAfterAnUnconfirmedPress) {
    Value unconfirmed = button("ok", "OK");
    unconfirmed.asObject()->emplace("actions", Object{{"AXPress", -25204}});
    Harness own(popupScene({unconfirmed}));
    const char* answer = R"({"clicked":false,"found":true,"ok":true,"pressed":true,"stillOpen":true})";
    EXPECT_EQ(send(own, "popup-press", {{"labels", Array{"OK"}}}), answer);
    EXPECT_EQ(eventLines(own), eventLines({R"({"what":"action","action":"AXPress","element":"ok","ok":false})"}));

    // A label that refuses the press hands it to its parent, whose
    // unconfirmed press ends the matter just the same.
    Value label = Object{{"id", "label"}, {"AXRole", "AXStaticText"}, {"AXValue", "OK"},
                         {"frame", frame(650, 405, 40, 20)}, {"actions", Object{{"AXPress", false}}}};
    Value parent = node(Object{{"id", "group"}, {"AXRole", "AXGroup"}, {"frame", frame(640, 400, 90, 30)},
                               {"actions", Object{{"AXPress", -25204}}}},
                        {label});
    Harness viaParent(popupScene({parent}));
    EXPECT_EQ(send(viaParent, "popup-press", {{"labels", Array{"OK"}}}), answer);
    EXPECT_EQ(eventLines(viaParent),
              eventLines({R"({"what":"action","action":"AXPress","element":"label","ok":false})",
                          R"({"what":"action","action":"AXPress","element":"group","ok":false})"}));
}

// An application that is gone took no press: not the one it failed to
// confirm, and not the click meant for it, which would land on whatever lay
// beneath.
TEST(PopupPress, ClaimsNoPressForAnApplicationThatIsGone) {
    Value unconfirmed = button("ok", "OK");
    unconfirmed.asObject()->emplace("actions", Object{{"AXPress", -25204}});
    Object dying = popupScene({unconfirmed});
    // It dies while the press is awaited.
    dying["timeline"] = testing::parseJson(R"([{"at": 0.3, "merge": {"apps": []}}])");
    Harness h(dying);
    EXPECT_EQ(send(h, "popup-press", {{"labels", Array{"OK"}}}),
              R"({"clicked":false,"found":true,"ok":true,"pressed":false,"stillOpen":false})");
    for (const std::string& line : eventLines(h)) EXPECT_EQ(line.find(R"("type":1)"), std::string::npos) << line;
}

TEST(PopupPress, ClicksOnlyWhileThePopupIsInFrontWhenTheButtonGoesDown) {
    // The popup's window leaves while the application is activated for the
    // click: the pointer moves, the button never goes down.
    Object covered = popupScene({button("ok", "OK")});
    const Value chatOnly = Object{{"windows", Array{testing::chatScene()["windows"].asArray()->front()}}};
    covered["reactions"] = Array{Object{{"on", Object{{"activate", 501}}}, {"merge", chatOnly}}};
    Harness h(covered);
    EXPECT_EQ(send(h, "popup-press", {{"labels", Array{"OK"}}}),
              R"({"clicked":false,"found":true,"ok":true,"pressed":true,"stillOpen":false})");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what":"action","action":"AXPress","element":"ok","ok":true})",
                                         R"({"what":"activate","pid":501,"ok":true})",
                                         R"({"what":"action","action":"AXRaise","element":"popup","ok":true})",
                                         R"({"what":"mouse","type":5,"x":685,"y":415,"button":0})"}));

    // Someone else's drag holds the pointer: no click either.
    Object dragged = popupScene({button("ok", "OK")});
    dragged["input"] = testing::parseJson(R"({"buttons": [0]})");
    Harness held(dragged);
    EXPECT_EQ(send(held, "popup-press", {{"labels", Array{"OK"}}}),
              R"({"clicked":false,"found":true,"ok":true,"pressed":true,"stillOpen":true})");
}

// The chat window with popup 61 and a focused element, for "popup-close".
Harness closing(Value focused, Array popupChildren = {}, Value frontmost = 501, bool activates = true) {
    Object scene = popupScene(std::move(popupChildren));
    Value& ax = at(at(scene["apps"], 0), "ax");
    at(ax, "AXFocusedUIElement") = std::move(focused);
    at(at(scene["apps"], 0), "activates") = activates;
    scene["frontmost"] = std::move(frontmost);
    return Harness(scene);
}

const char* escapeDown = R"({"what":"key","code":53,"down":true,"flags":0,"to":"hid"})";
const char* escapeUp = R"({"what":"key","code":53,"down":false,"flags":0,"to":"hid"})";

TEST(PopupClose, PostsNothingUnlessThePopupsApplicationIsFrontmost) {
    Harness refused = closing(nullptr, {}, 777, false);
    const std::string lostFocus = testing::jsonText(Object{{"ok", false}, {"error", msg::lostFocus}});
    EXPECT_EQ(send(refused, "popup-close"), lostFocus);
    EXPECT_EQ(eventLines(refused), eventLines({R"({"what":"activate","pid":501,"ok":false})"}));

    // Another process's popup is never brought forward, and never cleared.
    Object foreign = popupScene({Object{{"id", "field"}, {"AXRole", "AXTextField"}}}, 777);
    Harness behind(foreign);
    EXPECT_EQ(send(behind, "popup-close"), lostFocus);
    foreign["frontmost"] = 777;
    Harness front(foreign);
    EXPECT_EQ(send(front, "popup-close"), R"({"closed":false,"found":true,"ok":true})");
    EXPECT_EQ(eventLines(front), eventLines({escapeDown, escapeUp}));
}

TEST(PopupClose, ClearsOnlyATextFieldOfTheOpenPopup) {
    Value field = Object{{"id", "field"}, {"AXRole", "AXComboBox"}, {"AXWindow", Object{{"ref", "popup"}}}};
    Harness clears = closing(Object{{"ref", "field"}}, {field});
    EXPECT_EQ(send(clears, "popup-close"), R"({"closed":false,"found":true,"ok":true})");
    EXPECT_EQ(eventLines(clears),
              eventLines({escapeDown, escapeUp, R"({"what":"key","code":0,"down":true,"flags":1048576,"to":"hid"})",
                          R"({"what":"key","code":0,"down":false,"flags":1048576,"to":"hid"})",
                          R"({"what":"key","code":51,"down":true,"flags":0,"to":"hid"})",
                          R"({"what":"key","code":51,"down":false,"flags":0,"to":"hid"})", escapeDown, escapeUp}));
    // Each key waits for the application to take the one before.
    std::vector<double> t;
    for (const Value& e : clears.events()) t.push_back(*e.find("t")->asNumber());
    const double slack = 1e-9;
    EXPECT_GE(t[2] - t[1], 0.4 - slack);
    EXPECT_GE(t[4] - t[3], 0.12 - slack);
    EXPECT_GE(t[6] - t[5], 0.2 - slack);

    Value unreadable = Object{{"id", "field"}, {"AXRole", "AXTextField"}, {"AXWindow", Object{{"error", -25204}}}};
    Value elsewhere = Object{{"id", "field"}, {"AXRole", "AXTextField"}, {"AXWindow", Object{{"ref", "main"}}}};
    Value button = Object{{"id", "field"}, {"AXRole", "AXButton"}, {"AXWindow", Object{{"ref", "popup"}}}};
    for (const Value& focused : {unreadable, elsewhere, button}) {
        Harness h = closing(Object{{"ref", "field"}}, {focused});
        send(h, "popup-close");
        EXPECT_EQ(eventLines(h), eventLines({escapeDown, escapeUp, escapeDown, escapeUp}));
    }
}

}  // namespace
}  // namespace quillgate
