#include "backends/x11/window_table.h"

#include <gtest/gtest.h>

namespace quillgate::x11 {
namespace {

TEST(X11WindowTable, LayersFromTypeAndState) {
    const WindowStates none;
    WindowStates above;
    above.above = true;
    WindowStates modal;
    modal.modal = true;
    EXPECT_EQ(layerFor(WindowType::none, none, false), 0);
    EXPECT_EQ(layerFor(WindowType::normal, none, false), 0);
    EXPECT_EQ(layerFor(WindowType::normal, above, false), 3);
    EXPECT_EQ(layerFor(WindowType::dialog, none, false), 0);
    EXPECT_EQ(layerFor(WindowType::dialog, modal, false), 8);
    EXPECT_EQ(layerFor(WindowType::utility, none, false), 3);
    EXPECT_EQ(layerFor(WindowType::dock, none, false), 20);
    EXPECT_EQ(layerFor(WindowType::notification, none, true), 102);
    EXPECT_EQ(layerFor(WindowType::popupMenu, none, true), 101);
    EXPECT_EQ(layerFor(WindowType::tooltip, none, true), 101);
    // A toolkit's own override-redirect window with no type is a menu or tip.
    EXPECT_EQ(layerFor(WindowType::none, none, true), 101);
    // The type decides before the state: a dock kept above is still a dock.
    EXPECT_EQ(layerFor(WindowType::dock, above, false), 20);
}

TEST(X11WindowTable, FrameIsTheClientGrownByItsDecoration) {
    EXPECT_EQ(frameOf(Rect{100, 50, 900, 600}, FrameExtents{1, 2, 24, 3}), (Rect{99, 26, 903, 627}));
    EXPECT_EQ(frameOf(Rect{0, 0, 10, 10}, FrameExtents{}), (Rect{0, 0, 10, 10}));
}

TEST(X11WindowTable, EntryCarriesWhatTheCoreReads) {
    WindowFacts facts;
    facts.id = 0x400003;
    facts.pid = 4242;
    facts.title = "Chat";
    facts.owner = "WeChat";
    facts.client = Rect{10, 40, 900, 600};
    facts.extents = FrameExtents{1, 1, 24, 1};
    facts.viewable = true;
    const Value entry = windowEntry(facts);
    EXPECT_EQ(*entry.find("kCGWindowNumber")->asNumber(), 0x400003);
    EXPECT_EQ(*entry.find("kCGWindowOwnerPID")->asNumber(), 4242);
    EXPECT_EQ(*entry.find("kCGWindowOwnerName")->asString(), "WeChat");
    EXPECT_EQ(*entry.find("kCGWindowName")->asString(), "Chat");
    EXPECT_EQ(*entry.find("kCGWindowLayer")->asNumber(), 0);
    EXPECT_EQ(*entry.find("kCGWindowAlpha")->asNumber(), 1.0);
    EXPECT_TRUE(*entry.find("kCGWindowIsOnscreen")->asBool());
    const Value* bounds = entry.find("kCGWindowBounds");
    EXPECT_EQ(*bounds->find("X")->asNumber(), 9);
    EXPECT_EQ(*bounds->find("Y")->asNumber(), 16);
    EXPECT_EQ(*bounds->find("Width")->asNumber(), 902);
    EXPECT_EQ(*bounds->find("Height")->asNumber(), 625);

    // Iconified: mapped state gone or hidden by the window manager.
    facts.states.hidden = true;
    EXPECT_FALSE(*windowEntry(facts).find("kCGWindowIsOnscreen")->asBool());
    facts.states.hidden = false;
    facts.viewable = false;
    EXPECT_FALSE(*windowEntry(facts).find("kCGWindowIsOnscreen")->asBool());

    // Unknown owner and title leave their keys out, as the window server does.
    facts.pid.reset();
    facts.owner.reset();
    facts.title.reset();
    // Input goes through a window with an empty input region: it counts as invisible.
    facts.passesInput = true;
    const Value bare = windowEntry(facts);
    EXPECT_EQ(bare.find("kCGWindowOwnerPID"), nullptr);
    EXPECT_EQ(bare.find("kCGWindowOwnerName"), nullptr);
    EXPECT_EQ(bare.find("kCGWindowName"), nullptr);
    EXPECT_EQ(*bare.find("kCGWindowAlpha")->asNumber(), 0.0);
}

TEST(X11WindowTable, AClientTheWindowManagerIsPuttingOnTheScreenIsOnItAlready) {
    // Listed by the window manager, not viewable yet, nothing keeping it off
    // the screen: input posted now may reach it once it is mapped.
    WindowFacts facts;
    facts.client = Rect{10, 40, 120, 80};
    EXPECT_TRUE(appearing(facts, std::nullopt, std::nullopt));
    EXPECT_TRUE(appearing(facts, 1, 1));
    EXPECT_TRUE(appearing(facts, allDesktops, 0));
    facts.appearing = true;
    EXPECT_TRUE(*windowEntry(facts).find("kCGWindowIsOnscreen")->asBool());

    // Kept off the screen: on another desktop, iconified, shaded; and an
    // override-redirect window is mapped by no window manager.
    EXPECT_FALSE(appearing(facts, 2, 1));
    for (bool WindowStates::*state : {&WindowStates::hidden, &WindowStates::shaded}) {
        WindowFacts kept = facts;
        kept.states.*state = true;
        EXPECT_FALSE(appearing(kept, 1, 1));
    }
    WindowFacts unmanaged = facts;
    unmanaged.unmanaged = true;
    EXPECT_FALSE(appearing(unmanaged, std::nullopt, std::nullopt));
    // Viewable already: on the screen, not appearing.
    WindowFacts viewable = facts;
    viewable.viewable = true;
    EXPECT_FALSE(appearing(viewable, 1, 1));
    // Iconified wins over appearing.
    facts.states.hidden = true;
    EXPECT_FALSE(*windowEntry(facts).find("kCGWindowIsOnscreen")->asBool());
}

}  // namespace
}  // namespace quillgate::x11
