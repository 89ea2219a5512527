// Accessibility elements written in the scene: attribute values, references,
// errors, identity, parents, actions and settings.
#include <gtest/gtest.h>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::eventLines;

constexpr const char* chatApp = R"({"apps": [
  {"pid": 501, "ax": {
    "AXRole": "AXApplication",
    "AXWindows": [
      {"id": "main", "AXRole": "AXWindow", "AXTitle": "Chat", "frame": [100, 50, 900, 600],
       "AXMinimized": false, "AXValue": 3.5,
       "AXChildren": [{"id": "list", "AXRole": "AXList"}],
       "children": [{"id": "ignored"}]},
      {"id": "dialog", "AXRole": "AXWindow", "AXPosition": {"point": [1, 2]}, "frame": [9, 9, 9, 9],
       "children": [
         {"AXRole": "AXStaticText", "AXValue": "Delete?"},
         {"id": "ok", "AXRole": "AXButton", "AXTitle": "OK", "AXParent": {"ref": "main"}},
         {"AXRole": "AXButton", "AXTitle": "Cancel", "actions": {"AXPress": false, "AXRaise": true}},
         {"AXRole": "AXGroup", "children": [{"AXRole": "AXImage"}]}
       ]}
    ],
    "AXFocusedWindow": {"ref": "main"},
    "AXMainWindow": {"ref": "nowhere"},
    "AXEnabled": null,
    "AXDescription": {"error": -25204},
    "AXSelectedChildren": [{"ref": "ok"}, {"error": -25211}],
    "AXLinkedUIElements": [{"ref": "ok"}, {"ref": "other"}],
    "AXTitleUIElement": {"AXRole": "AXStaticText", "AXValue": "inline"},
    "AXRows": [[{"point": [3, 4]}, {"size": [5, 6]}], "text", true],
    "AXOdd": {"point": "not a pair"}
  }},
  {"pid": 502, "ax": {"children": [{"id": "other", "AXTitle": "Other"}]}},
  {"pid": 503}
]})";

class SimElements : public ::testing::Test {
protected:
    std::shared_ptr<SimPlatform> d = desktop(chatApp);
    Element app = d->applicationElement(501);

    AxResult read(const Element& element, const std::string& attribute) { return d->copyAttribute(element, attribute); }
    Element element(const Element& from, const std::string& attribute) {
        AxResult result = read(from, attribute);
        EXPECT_TRUE(result.ok() && result.value.isElement()) << attribute << " status " << result.status;
        return result.value.isElement() ? *result.value.asElement() : Element();
    }
    Element member(const Element& from, const std::string& attribute, size_t index) {
        AxResult result = read(from, attribute);
        EXPECT_TRUE(result.ok() && result.value.isArray()) << attribute;
        const Array* array = result.value.asArray();
        return array && index < array->size() && array->at(index).isElement() ? *array->at(index).asElement()
                                                                              : Element();
    }
    std::string text(const Element& from, const std::string& attribute) {
        AxResult result = read(from, attribute);
        return result.ok() && result.value.isString() ? *result.value.asString()
                                                      : "<" + std::to_string(result.status) + ">";
    }
};

TEST_F(SimElements, ValuesConvertByForm) {
    Element main = member(app, "AXWindows", 0);
    EXPECT_EQ(text(main, "AXTitle"), "Chat");
    EXPECT_EQ(*read(main, "AXValue").value.asNumber(), 3.5);
    EXPECT_EQ(*read(main, "AXMinimized").value.asBool(), false);
    EXPECT_EQ(*read(main, "AXPosition").value.asPoint(), (Point{100, 50}));
    EXPECT_EQ(*read(main, "AXSize").value.asSize(), (Size{900, 600}));

    AxResult rows = read(app, "AXRows");
    ASSERT_TRUE(rows.ok());
    const Array& row = *rows.value.asArray();
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(*row[0].asArray()->at(0).asPoint(), (Point{3, 4}));
    EXPECT_EQ(*row[0].asArray()->at(1).asSize(), (Size{5, 6}));
    EXPECT_EQ(*row[1].asString(), "text");

    // Written-out position wins over the frame; size still comes from it.
    Element dialog = member(app, "AXWindows", 1);
    EXPECT_EQ(*read(dialog, "AXPosition").value.asPoint(), (Point{1, 2}));
    EXPECT_EQ(*read(dialog, "AXSize").value.asSize(), (Size{9, 9}));

    // Any other object is an element, a malformed point included.
    EXPECT_EQ(text(element(app, "AXTitleUIElement"), "AXValue"), "inline");
    EXPECT_EQ(text(element(app, "AXOdd"), "AXRole"), "<-25212>");
}

TEST_F(SimElements, FailuresCarryTheirStatus) {
    EXPECT_EQ(read(app, "AXEnabled").status, axstatus::noValue);
    EXPECT_EQ(read(app, "AXNotWritten").status, axstatus::noValue);
    EXPECT_EQ(read(app, "AXDescription").status, axstatus::cannotComplete);
    EXPECT_EQ(read(app, "AXMainWindow").status, axstatus::noValue);
    // A failing member fails the whole array.
    EXPECT_EQ(read(app, "AXSelectedChildren").status, -25211);
    // Keys without the AX prefix are the scene's own, not attributes.
    EXPECT_EQ(read(member(app, "AXWindows", 0), "id").status, axstatus::noValue);
    EXPECT_EQ(read(member(app, "AXWindows", 0), "frame").status, axstatus::noValue);
    // An application without "ax", or without an entry, has no attributes.
    EXPECT_EQ(read(d->applicationElement(503), "AXRole").status, axstatus::noValue);
    EXPECT_EQ(read(d->applicationElement(9999), "AXRole").status, axstatus::noValue);
}

TEST_F(SimElements, ReferencesAreTheElementsTheyName) {
    Element main = member(app, "AXWindows", 0);
    Element focused = element(app, "AXFocusedWindow");
    EXPECT_TRUE(d->elementsEqual(main, focused));
    EXPECT_TRUE(d->elementsEqual(app, d->applicationElement(501)));
    EXPECT_FALSE(d->elementsEqual(main, member(app, "AXWindows", 1)));
    EXPECT_FALSE(d->elementsEqual(app, d->applicationElement(502)));

    // A reference reaches elements of other applications too, which belong to their own process.
    Element ok = member(app, "AXLinkedUIElements", 0);
    Element dialog = member(app, "AXWindows", 1);
    EXPECT_TRUE(d->elementsEqual(ok, member(dialog, "AXChildren", 1)));
    Element other = member(app, "AXLinkedUIElements", 1);
    EXPECT_TRUE(d->elementsEqual(other, member(d->applicationElement(502), "AXChildren", 0)));
    EXPECT_EQ(d->pidOfElement(other), 502);
    EXPECT_EQ(d->pidOfElement(main), 501);
    EXPECT_EQ(d->pidOfElement(d->applicationElement(7)), 7);
    EXPECT_FALSE(d->pidOfElement(d->systemWideElement()));
}

TEST_F(SimElements, ChildrenAndTheirParents) {
    Element main = member(app, "AXWindows", 0);
    // Written-out AXChildren wins over the shorthand.
    EXPECT_EQ(read(main, "AXChildren").value.asArray()->size(), 1u);
    Element list = member(main, "AXChildren", 0);
    EXPECT_TRUE(d->elementsEqual(element(list, "AXParent"), main));

    Element dialog = member(app, "AXWindows", 1);
    Element label = member(dialog, "AXChildren", 0);
    EXPECT_TRUE(d->elementsEqual(element(label, "AXParent"), dialog));
    Element ok = member(dialog, "AXChildren", 1);
    EXPECT_TRUE(d->elementsEqual(element(ok, "AXParent"), main));
    Element image = member(member(dialog, "AXChildren", 3), "AXChildren", 0);
    EXPECT_TRUE(d->elementsEqual(element(element(image, "AXParent"), "AXParent"), dialog));
    // Windows and the application itself have no parent unless written.
    EXPECT_EQ(read(main, "AXParent").status, axstatus::noValue);
    EXPECT_EQ(read(app, "AXParent").status, axstatus::noValue);
}

TEST_F(SimElements, ActionsAndSettingsAreLoggedAndChangeNothing) {
    Element dialog = member(app, "AXWindows", 1);
    Element ok = member(dialog, "AXChildren", 1);
    Element cancel = member(dialog, "AXChildren", 2);
    Element label = member(dialog, "AXChildren", 0);
    EXPECT_EQ(d->performAction(ok, "AXPress"), axstatus::success);
    EXPECT_EQ(d->performAction(cancel, "AXPress"), axstatus::failure);
    EXPECT_EQ(d->performAction(cancel, "AXRaise"), axstatus::success);
    EXPECT_EQ(d->performAction(cancel, "AXShowMenu"), axstatus::success);
    EXPECT_EQ(d->performAction(label, "AXPress"), axstatus::success);
    EXPECT_EQ(d->setAttribute(ok, "AXFocused", true), axstatus::success);
    EXPECT_EQ(d->setAttribute(label, "AXValue", "hello"), axstatus::success);
    EXPECT_EQ(d->setAttribute(cancel, "AXPosition", Point{1, 2}), axstatus::success);
    EXPECT_EQ(d->setAttribute(app, "AXFocusedUIElement", ok), axstatus::success);
    EXPECT_EQ(text(ok, "AXTitle"), "OK");
    EXPECT_EQ(read(ok, "AXFocused").status, axstatus::noValue);
    EXPECT_EQ(eventLines(*d),
              eventLines({
                  R"({"what":"action","action":"AXPress","element":"ok","ok":true})",
                  R"({"what":"action","action":"AXPress","element":"Cancel","ok":false})",
                  R"({"what":"action","action":"AXRaise","element":"Cancel","ok":true})",
                  R"({"what":"action","action":"AXShowMenu","element":"Cancel","ok":true})",
                  R"({"what":"action","action":"AXPress","element":null,"ok":true})",
                  R"({"what":"set","attribute":"AXFocused","value":true,"element":"ok"})",
                  R"({"what":"set","attribute":"AXValue","value":"hello","element":null})",
                  R"({"what":"set","attribute":"AXPosition","value":{"point":[1,2]},"element":"Cancel"})",
                  R"({"what":"set","attribute":"AXFocusedUIElement","value":{"ref":"ok"},"element":null})",
              }));
}

TEST(SimElementLifetime, HandlesReadTheSceneAfreshAndGoStaleWhenRemoved) {
    auto d = desktop(R"({
      "timeScale": 0.001,
      "apps": [{"pid": 1, "ax": {"AXWindows": [{"id": "w", "AXTitle": "Before"}]}}],
      "timeline": [
        {"at": 100, "merge": {"apps": [{"pid": 1, "ax": {"AXWindows": [{"id": "w", "AXTitle": "After"}]}}]}},
        {"at": 200, "merge": {"apps": [{"pid": 1, "ax": {"AXWindows": []}}]}}
      ]
    })");
    Element window = *d->copyAttribute(d->applicationElement(1), "AXWindows").value.asArray()->at(0).asElement();
    d->sleep(150);
    EXPECT_EQ(*d->copyAttribute(window, "AXTitle").value.asString(), "After");
    d->sleep(100);
    EXPECT_EQ(d->copyAttribute(window, "AXTitle").status, -25202);
    EXPECT_EQ(d->performAction(window, "AXRaise"), -25202);
    EXPECT_EQ(testing::eventLines(*d), eventLines({R"({"what":"action","action":"AXRaise","element":null,"ok":false})"}));
}

TEST(SimSystemWide, SpeaksForTheFrontmostApplication) {
    auto d = desktop(R"({"frontmost": 2, "apps": [
      {"pid": 2, "ax": {"AXFocusedUIElement": {"id": "field", "AXRole": "AXTextField"}}}
    ]})");
    Element system = d->systemWideElement();
    EXPECT_TRUE(d->elementsEqual(system, d->systemWideElement()));
    EXPECT_EQ(*d->copyAttribute(system, "AXRole").value.asString(), "AXSystemWide");
    EXPECT_TRUE(d->elementsEqual(*d->copyAttribute(system, "AXFocusedApplication").value.asElement(),
                                 d->applicationElement(2)));
    Element field = *d->copyAttribute(system, "AXFocusedUIElement").value.asElement();
    EXPECT_EQ(*d->copyAttribute(field, "AXRole").value.asString(), "AXTextField");
    EXPECT_EQ(d->performAction(system, "AXPress"), axstatus::actionUnsupported);

    auto nobody = desktop("{}");
    EXPECT_EQ(nobody->copyAttribute(nobody->systemWideElement(), "AXFocusedApplication").status, axstatus::noValue);
}

}  // namespace
}  // namespace quillgate::sim
