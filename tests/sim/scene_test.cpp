// Loading scenes: the built-in demo, files and environment, the event log
// file, and the one-line messages for scenes that cannot be used.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/backend.h"
#include "backends/sim/demo_scene.h"
#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;
using testing::jsonText;
using testing::ScopedEnv;
using testing::TempFolder;

std::string loadError(std::string_view scene, std::string baseDir = ".") {
    try {
        desktop(scene, std::move(baseDir));
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "<loaded>";
}

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(SimScene, DemoHasTheChatWindowDockMenuBarAndPopup) {
    auto d = desktop(demoScene());
    auto front = d->frontmostApplication();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->name, "WeChat");
    EXPECT_TRUE(front->launchDate);

    auto windows = *d->windowList(WindowListOption::onScreenExcludeDesktop);
    std::vector<std::string> owners;
    for (const Value& window : *windows.asArray()) owners.push_back(*window.find("kCGWindowOwnerName")->asString());
    EXPECT_EQ(owners, (std::vector<std::string>{"Window Server", "Dock", "WeChat", "WeChat"}));
    EXPECT_EQ(*windows.asArray()->at(1).find("kCGWindowLayer")->asNumber(), 20);

    Element app = d->applicationElement(front->pid);
    Element focused = *d->copyAttribute(app, "AXFocusedWindow").value.asElement();
    EXPECT_EQ(*d->copyAttribute(focused, "AXTitle").value.asString(), "WeChat");
    EXPECT_EQ(*d->copyAttribute(focused, "AXSize").value.asSize(), (Size{1000, 700}));
    EXPECT_TRUE(d->copyAttribute(app, "AXMenuBar").value.isElement());

    auto dock = d->runningApplications("com.apple.dock");
    ASSERT_EQ(dock.size(), 1u);
    Element icon = *d->elementAtPosition(d->systemWideElement(), Point{870, 1040}).value.asElement();
    EXPECT_EQ(*d->copyAttribute(icon, "AXRole").value.asString(), "AXDockItem");
    EXPECT_EQ(*d->copyAttribute(icon, "AXTitle").value.asString(), "WeChat");

    // The chat window's picture has its light header strip over the conversation.
    Image picture;
    std::thread([&, helper = d->helper()] { picture = d->screenshot(4107, 1000, 700); }).join();
    const uint8_t* header = picture.row(10) + 600 * 4;
    const uint8_t* body = picture.row(300) + 600 * 4;
    EXPECT_EQ(header[0], 0xe6);
    EXPECT_EQ(body[0], 0xf5);
}

TEST(SimScene, ProblemsAreOneLineNamingTheScene) {
    EXPECT_EQ(loadError("{\"windows\": ["), "scene: not valid JSON");
    EXPECT_EQ(loadError("[1, 2]"), "scene: the scene must be a JSON object");
    EXPECT_EQ(loadError(R"({"timeScale": 0})"), "scene: \"timeScale\" must be a positive number");
    for (const char* clock : {R"("scaled")", R"("Virtual")", "1", "null", R"(["virtual"])"})
        EXPECT_EQ(loadError(std::string(R"({"clock": )") + clock + "}"), "scene: \"clock\" must be \"virtual\"")
            << clock;
    EXPECT_EQ(loadError(R"({"clock": "virtual", "timeScale": 0.5})"), "<loaded>");
    EXPECT_EQ(loadError(R"({"apps": [{"pid": 1}, {"pid": "2"}]})"), "scene: apps[1]: \"pid\" must be an integer");
    EXPECT_EQ(loadError(R"({"timeline": [{"at": "soon", "merge": {}}]})"),
              "scene: timeline[0]: \"at\" must be a number");
    EXPECT_EQ(loadError(R"({"reactions": [{"on": {"press": 1}, "merge": {}}]})"),
              "scene: reactions[0]: \"on\" names no trigger (key, click, action, activate, tool or sck)");
    EXPECT_EQ(loadError(R"({"reactions": [{"on": {"click": "middle"}, "merge": {}}]})"),
              "scene: reactions[0]: \"on\".\"click\" must be \"left\" or \"right\"");
    EXPECT_EQ(loadError(R"({"pixels": {"7": {"fill": "#12345"}}})"),
              "scene: pixels.7: \"fill\" is not a colour (#rrggbb or #rrggbbaa)");
    EXPECT_EQ(loadError(R"({"pixels": {"7": {"png": "missing\nfile.png"}}})"),
              "scene: pixels.7: cannot read missing file.png: No such file or directory");

    TempFolder folder;
    std::ofstream(folder.file("fake.png")) << "not a png";
    EXPECT_EQ(loadError(R"({"pixels": {"7": {"png": "fake.png"}}})", folder.path()),
              "scene: pixels.7: fake.png is not a PNG picture");
}

TEST(SimScene, ABaseSceneTakesTheSceneAsAMergePatch) {
    TempFolder folder;
    std::ofstream(folder.file("root.json")) << R"({"frontmost": 1, "apps": [{"pid": 1}], "self": {"pid": 7, "parentPid": 6}})";
    std::ofstream(folder.file("chat.json")) << R"({"base": "root.json", "self": {"parentPid": 5}, "frontmost": 2})";
    // Objects merge, other values replace, null deletes; the base's own
    // checks run on the merged scene.
    auto d = desktop(R"({"base": "chat.json", "apps": [{"pid": 3}], "frontmost": null, "self": {"pid": 9}})",
                     folder.path());
    EXPECT_EQ(d->ownPid(), 9);
    EXPECT_EQ(d->parentPid(), 5);
    EXPECT_FALSE(d->frontmostApplication());
    EXPECT_TRUE(d->runningApplication(3));
    EXPECT_FALSE(d->runningApplication(1));

    std::ofstream(folder.file("loop.json")) << R"({"base": "loop.json"})";
    std::ofstream(folder.file("bad.json")) << R"({"timeScale": -1})";
    EXPECT_EQ(loadError(R"({"base": "absent.json"})", folder.path()),
              "scene: base absent.json: cannot read: No such file or directory");
    EXPECT_EQ(loadError(R"({"base": "loop.json"})", folder.path()), "scene: more than 8 bases: \"base\" loop.json");
    EXPECT_EQ(loadError(R"({"base": 3})", folder.path()), "scene: \"base\" must be a file name");
    EXPECT_EQ(loadError(R"({"base": "bad.json"})", folder.path()), "scene: \"timeScale\" must be a positive number");
    EXPECT_EQ(loadError(R"({"base": "bad.json", "timeScale": 2})", folder.path()), "<loaded>");
}

TEST(SimScene, FilesFromTheEnvironmentAndTheLogFile) {
    TempFolder folder;
    std::string scene = folder.file("scene.json");
    std::string log = folder.file("events.log");
    std::ofstream(scene) << R"({"apps": [{"pid": 3}], "frontmost": 3})";
    std::ofstream(log) << "earlier line\n";
    {
        ScopedEnv sceneVariable("QUILLGATE_SCENE", scene.c_str());
        ScopedEnv logVariable("QUILLGATE_SIM_LOG", log.c_str());
        auto platform = makePlatform();
        auto* sim = dynamic_cast<SimPlatform*>(platform.get());
        ASSERT_TRUE(sim);
        EXPECT_EQ(platform->frontmostApplication()->pid, 3);
        // Unasked, the desktop keeps nothing, but each event is in the file at once.
        platform->post(testing::key(53, true, 3));
        EXPECT_TRUE(sim->events().empty());
        ASSERT_EQ(fileLines(log).size(), 2u);
        sim->keepEvents();
        platform->activate(3);
        // The file holds the same lines as the events, after what was there.
        std::vector<std::string> expected = fileLines(log);
        expected.pop_back();
        for (const Value& event : sim->events()) expected.push_back(jsonText(event));
        EXPECT_EQ(fileLines(log), expected);
        EXPECT_NE(expected.at(1).find(R"("what":"key")"), std::string::npos);
        EXPECT_NE(expected.at(2).find(R"("what":"activate")"), std::string::npos);
    }
    {
        ScopedEnv sceneVariable("QUILLGATE_SCENE", folder.file("absent.json").c_str());
        try {
            makePlatform();
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), folder.file("absent.json") + ": cannot read: No such file or directory");
        }
    }
    std::ofstream(scene) << R"({"windows": )";
    ScopedEnv sceneVariable("QUILLGATE_SCENE", scene.c_str());
    EXPECT_THROW(makePlatform(), std::runtime_error);
}

TEST(SimScene, WithoutASceneTheDemoRuns) {
    ScopedEnv sceneVariable("QUILLGATE_SCENE", "");
    auto platform = makePlatform();
    auto front = platform->frontmostApplication();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->bundle, "com.tencent.xinWeChat");
}

}  // namespace
}  // namespace quillgate::sim
