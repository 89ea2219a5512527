#include "recorder/recorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/demo_scene.h"
#include "backends/sim/sim_platform.h"
#include "core/values.h"
#include "recorder/redaction.h"
#include "service/request_service.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate::testing {
namespace {

using recorder::Recording;

// A folder of its own for one test, removed at the end.
class Folder {
public:
    Folder() {
        std::string name = (std::filesystem::temp_directory_path() / "quillgate-recorder-XXXXXX").string();
        path_ = mkdtemp(name.data());
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string scene() const { return path_ + "/scene.json"; }

private:
    std::string path_;
};

Object demo() { return *parseJson(sim::demoScene()).asObject(); }

// The demo scene with a password field in the chat window.
Object demoWithPassword() {
    Value scene = demo();
    Value& chat = at(at(at(at(scene, "apps"), 0), "ax"), "AXWindows");
    at(at(chat, 1), "children")
        .asArray()
        ->push_back(Object{{"AXRole", "AXTextField"},
                           {"AXSubrole", "AXSecureTextField"},
                           {"AXValue", "hunter2-secret"},
                           {"frame", Array{900, 700, 200, 24}}});
    return *scene.asObject();
}

// The demo scene with a second editor in the composer area, which has the
// focus: the composer's text is the focused editor's, found by reference.
Object demoWithFocusedDraft() {
    Value scene = demo();
    Value& ax = at(at(at(scene, "apps"), 0), "ax");
    at(at(at(ax, "AXWindows"), 1), "children").asArray()->push_back(
        Object{{"id", "draft"}, {"AXRole", "AXTextArea"}, {"AXValue", "second draft"},
               {"frame", Array{520, 700, 300, 60}}});
    at(ax, "AXFocusedUIElement") = Object{{"ref", "draft"}};
    return *scene.asObject();
}

Recording record(const Object& scene, bool redact = false, const recorder::TreeLimits& limits = {}) {
    return recorder::recordScene(sim::SimPlatform::fromText(jsonText(scene)), redact, limits);
}

std::string sceneText(const Recording& recording) { return jsonText(recording.scene); }

const Array& cuts(const Recording& recording) { return *recording.scene.at("recording").find("cut")->asArray(); }

// The answers of the program to the same read-only and refused requests,
// bound to the demo's chat window.
std::vector<std::string> answers(std::shared_ptr<Platform> platform) {
    RequestService program(std::move(platform));
    auto send = [&](const std::string& line) { return program.respond(line.data(), line.size()); };
    std::vector<std::string> lines;
    for (const char* line : {R"({"op":"list"})", R"({"op":"probe","id":"4107"})", R"({"op":"inspect","hwnd":"4107"})",
                             R"({"op":"permissions"})"})
        lines.push_back(send(line));
    const Value inspected = parseJson(lines[2]);
    const std::string bound = jsonText(*inspected.find("identity"));
    const std::string capture = send(R"({"op":"capture","bound":)" + bound + "}");
    lines.push_back(capture);
    const Value picture = parseJson(capture);
    const std::string guard =
        jsonText(*parseJson(send(R"({"op":"bind-region","bound":)" + bound +
                                 R"(,"region":{"x":320,"y":4,"width":600,"height":40},"reference":)" +
                                 jsonText(*picture.find("base64")) + "}"))
                      .find("guard"));
    const std::string guarded = bound.substr(0, bound.size() - 1) + R"(,"guard":)" + guard + "}";
    for (const char* rest : {R"("op":"check")", R"("op":"pointer","x":0.5,"y":0.5)",
                             R"("op":"pointer","x":0.6,"y":0.2)", R"("op":"popup","elements":true)",
                             R"("op":"composer-text","region":{"x":310,"y":580,"width":690,"height":120})",
                             R"("op":"ax-text")", R"("op":"execute","action":{"kind":"text","text":"hi"})"}) {
        lines.push_back(send(std::string("{") + rest + R"(,"bound":)" + bound + "}"));
        lines.push_back(send(std::string("{") + rest + R"(,"bound":)" + guarded + "}"));
    }
    return lines;
}

TEST(Recorder, RecordedSceneAnswersAsTheDesktopItWasRecordedFrom) {
    Recording recording = record(demoWithFocusedDraft());
    EXPECT_EQ(recording.pictures.size(), 2u);  // the chat window and the dialog over it
    Folder folder;
    recorder::writeScene(recording, folder.path());
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/window-4107.png"));
    const auto original = answers(sim::SimPlatform::fromText(jsonText(demoWithFocusedDraft())));
    const auto replayed = answers(sim::SimPlatform::fromFile(folder.scene()));
    ASSERT_EQ(original.size(), replayed.size());
    for (size_t i = 0; i < original.size(); ++i) EXPECT_EQ(replayed[i], original[i]) << "answer " << i;
    // Not trivially equal: the guard took, the focused editor was found.
    EXPECT_NE(original[6].find(R"("ok":true)"), std::string::npos) << original[6];
    EXPECT_NE(original[13].find(R"("text":"second draft")"), std::string::npos) << original[13];
}

TEST(Recorder, ReferencesStayReferencesAndChildrenKeepTheirParent) {
    Recording recording = record(demo());
    const Value& ax = *recording.scene.at("apps").asArray()->at(0).find("ax");
    EXPECT_EQ(jsonText(*ax.find("AXFocusedUIElement")).substr(0, 8), R"({"ref":")");
    const Value& chat = ax.find("AXWindows")->asArray()->at(1);
    EXPECT_EQ(*chat.find("AXTitle")->asString(), "WeChat");
    // Listed children imply their parent; windows have none here, as in the source.
    EXPECT_EQ(chat.find("AXChildren")->asArray()->at(0).find("AXParent"), nullptr);
    EXPECT_EQ(chat.find("AXParent"), nullptr);
    EXPECT_EQ(jsonText(*ax.find("AXFocusedUIElement")),
              R"({"ref":")" + *chat.find("AXChildren")->asArray()->at(3).find("id")->asString() + R"("})");
    // The menu bar, reachable only through its attribute, is written in place.
    EXPECT_EQ(*ax.find("AXMenuBar")->find("AXRole")->asString(), "AXMenuBar");
    EXPECT_TRUE(cuts(recording).empty()) << jsonText(cuts(recording));
}

TEST(Recorder, HeldButtonsAndInputMethodsAreRecorded) {
    Object scene = demo();
    scene["input"] = parseJson(R"({"buttons": [1]})");
    at(at(scene["apps"], 0), "inputMethod") = true;
    Recording recording = record(scene);
    EXPECT_EQ(jsonText(*recording.scene.at("input").find("buttons")), "[1]");
    EXPECT_EQ(jsonText(*recording.scene.at("apps").asArray()->at(0).find("inputMethod")), "true");
    // Nothing held, no input method: nothing written.
    Recording plain = record(demo());
    EXPECT_EQ(plain.scene.at("input").find("buttons"), nullptr);
    EXPECT_EQ(plain.scene.at("apps").asArray()->at(0).find("inputMethod"), nullptr);
}

TEST(Recorder, SecureFieldValueIsNeverRecorded) {
    for (bool redact : {false, true}) {
        Recording recording = record(demoWithPassword(), redact);
        const std::string text = sceneText(recording);
        EXPECT_EQ(text.find("hunter2"), std::string::npos);
        EXPECT_EQ(text.find("xxxxxxx-xxxxxx"), std::string::npos);
        const Value& chat = recording.scene.at("apps").asArray()->at(0).find("ax")->find("AXWindows")->asArray()->at(1);
        const Value& field = chat.find("AXChildren")->asArray()->back();
        EXPECT_EQ(*field.find("AXSubrole")->asString(), "AXSecureTextField");
        EXPECT_EQ(field.find("AXValue"), nullptr);
        EXPECT_NE(field.find("AXPosition"), nullptr);  // the rest of the field is there
    }
}

TEST(Recorder, RedactionLeavesNoTextOrTitleAndBlankPictures) {
    Recording recording = record(demo(), true);
    const std::string text = sceneText(recording);
    for (const char* original : {"File Transfer", "Delete this chat history?", "Family", "Cancel", "\"Minimize\"",
                                 "Menubar", "\"Chats\"", "\"Help\""})
        EXPECT_EQ(text.find(original), std::string::npos) << original;
    EXPECT_NE(text.find(R"("AXValue":"xxxx xxxxxxxx")"), std::string::npos);  // same length, words kept
    EXPECT_NE(text.find(R"("kCGWindowName":"xxxxxx")"), std::string::npos);
    EXPECT_TRUE(recording.pictures.empty());
    for (const auto& [window, picture] : *recording.scene.at("pixels").asObject())
        EXPECT_EQ(jsonText(picture), R"({"fill":"#ffffff"})") << window;
    EXPECT_EQ(*recording.scene.at("recording").find("redacted")->asBool(), true);
    // The application is still found by its name, and the scene still loads.
    EXPECT_NE(text.find(R"("name":"WeChat")"), std::string::npos);
    Folder folder;
    recorder::writeScene(recording, folder.path());
    auto replay = sim::SimPlatform::fromFile(folder.scene());
    EXPECT_EQ(replay->windowList(WindowListOption::excludeDesktop)->asArray()->size(), 4u);
    EXPECT_EQ(recorder::placeholder("微信 ok\n!"), "xx xx\nx");
}

TEST(Recorder, BoundsCutTheTreeAndSayWhere) {
    struct Case {
        recorder::TreeLimits limits;
        std::string reason;
        int elements;
    } cases[] = {
        // The application, its two windows, the menu bar and the focused
        // composer, which references reach and which is written where found.
        {{1, 4000, 20}, "depth", 5},
        {{32, 3, 20}, "elements", 3},
        {{32, 4000, -1}, "time", 1},  // the application element only, unread
    };
    for (const Case& c : cases) {
        Recording recording = record(demo(), false, c.limits);
        EXPECT_EQ(recording.elements, c.elements) << c.reason;
        ASSERT_FALSE(cuts(recording).empty()) << c.reason;
        for (const Value& cut : cuts(recording)) {
            EXPECT_EQ(*cut.find("reason")->asString(), c.reason);
            EXPECT_EQ(*cut.find("app")->asNumber(), 4821);
        }
        const std::string text = sceneText(recording);
        const std::string& cutElement = *cuts(recording).at(0).find("element")->asString();
        EXPECT_NE(text.find(R"("id":")" + cutElement + "\""), std::string::npos) << c.reason;
        const Value limits = *recording.scene.at("recording").find("limits");
        EXPECT_EQ(*limits.find("elements")->asNumber(), c.limits.elements);
        Folder folder;
        recorder::writeScene(recording, folder.path());
        EXPECT_NO_THROW(sim::SimPlatform::fromFile(folder.scene())) << c.reason;
    }
}

// A screenshot service that never answers costs the recording one parked
// screenshot, not one per window: while it is outstanding the other windows
// are cut without asking.
TEST(Recorder, HungScreenshotServiceIsAskedOnceNotOncePerWindow) {
    Object scene = demo();
    scene["clock"] = "virtual";
    scene["sck"] = Object{{"delay", nullptr}};
    auto platform = sim::SimPlatform::fromText(jsonText(scene));
    platform->keepEvents();
    const Recording recording = recorder::recordScene(platform, false, {});
    int screenshots = 0;
    for (const Value& event : platform->events())
        if (text(event.find("what")) == "sck" && text(event.find("call")) == "screenshot") ++screenshots;
    EXPECT_EQ(screenshots, 1);
    EXPECT_TRUE(recording.pictures.empty());
    std::vector<std::string> reasons;
    for (const Value& cut : cuts(recording))
        if (cut.find("picture")) reasons.push_back(text(cut.find("reason")));
    EXPECT_EQ(reasons, (std::vector<std::string>{"capture timed out", "screenshot service busy or timed out"}));
}

TEST(Recorder, CommandLineWritesASceneTheSimulatorLoads) {
    Folder folder;
    const std::string command =
        "QUILLGATE_SCENE= " + std::string(QUILLGATE_PROGRAM) + " --record-scene " + folder.path() + "/out --redact";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    ASSERT_TRUE(pipe);
    char line[512] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, pipe.get()));
    std::string path = folder.path() + "/out/scene.json";
    for (size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 2)) path.insert(at, "\\");
    EXPECT_EQ(std::string(line), R"({"cuts":0,"elements":21,"ok":true,"pictures":0,"scene":")" + path + "\"}\n");
    EXPECT_NO_THROW(sim::SimPlatform::fromFile(folder.path() + "/out/scene.json"));
    EXPECT_FALSE(recorder::requested({"quillgate", "--record-scene", "d", "--json"}));
    EXPECT_FALSE(recorder::requested({"quillgate", "--record-scene"}));
}

}  // namespace
}  // namespace quillgate::testing
