#include "recorder/recorder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "capture/pending_capture.h"
#include "doctor/chat_app.h"
#include "image/png.h"
#include "json/writer.h"
#include "recorder/desktop_state.h"
#include "recorder/redaction.h"
#include "recorder/window_pictures.h"

namespace quillgate::recorder {

namespace {

// The scene key the simulated desktop ignores: how the scene was recorded
// and what the recording left out.
constexpr const char* recordingKey = "recording";

std::string pictureFile(uint32_t window) { return "window-" + std::to_string(window) + ".png"; }

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(errno));
}

Value limitsOf(const TreeLimits& limits) {
    return Object{{"depth", limits.depth}, {"elements", limits.elements}, {"seconds", limits.seconds}};
}

void recordTrees(Platform& platform, Object& scene, const std::vector<int32_t>& pids, const TreeLimits& limits,
                 Recording& recording, Array& cuts) {
    const double deadline = platform.monotonic() + limits.seconds;
    for (Value& app : *scene["apps"].asArray()) {
        Object& entry = *app.asObject();
        const auto pid = static_cast<int32_t>(*entry["pid"].asNumber());
        if (std::find(pids.begin(), pids.end(), pid) == pids.end()) continue;
        RecordedTree tree = recordTree(platform, pid, limits, deadline);
        entry["ax"] = std::move(tree.ax);
        recording.elements += tree.elements;
        for (Value& cut : tree.cuts) {
            (*cut.asObject())["app"] = pid;
            cuts.push_back(std::move(cut));
        }
    }
}

void recordPicturesInto(Context& context, const std::vector<ShownWindow>& shown, Object& scene, Recording& recording,
                        Array& cuts) {
    Object pixels;
    for (WindowPicture& picture : recordPictures(context, shown, cuts)) {
        const std::string file = pictureFile(picture.window);
        pixels[std::to_string(picture.window)] = Object{{"png", file}};
        recording.pictures.emplace_back(file, std::move(picture.image));
    }
    scene["pixels"] = std::move(pixels);
}

// The chat application's instances and the owners of the windows at its
// windows, whose popups the program reads.
std::vector<int32_t> treeOwners(const doctor::ChatApp& app, const std::vector<ShownWindow>& shown) {
    std::vector<int32_t> pids = app.instances;
    for (const ShownWindow& window : shown)
        if (window.pid && std::find(pids.begin(), pids.end(), *window.pid) == pids.end()) pids.push_back(*window.pid);
    return pids;
}

}  // namespace

std::optional<RecordRequest> requested(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3 || arguments.size() > 4 || arguments[1] != "--record-scene") return std::nullopt;
    if (arguments.size() == 4 && arguments[3] != "--redact") return std::nullopt;
    return RecordRequest{arguments[2], arguments.size() == 4};
}

Recording recordScene(std::shared_ptr<Platform> shared, bool redacting, const TreeLimits& limits) {
    Context context{std::move(shared), std::make_shared<PendingCapture>()};
    Platform& platform = *context.platform;
    Recording recording;
    const doctor::ChatApp app = doctor::findChatApp(platform);
    Object notes;
    Object scene = recordDesktop(platform, app.instances, notes);
    std::vector<uint32_t> chatWindows;
    for (const Window& w : app.windows)
        if (w.visible) chatWindows.push_back(w.id);
    const std::vector<ShownWindow> shown = windowsAtChat(platform, chatWindows);
    Array cuts;
    // Neither is tried without its permission: trying would make the system ask.
    if (*scene["accessibility"].asBool())
        recordTrees(platform, scene, treeOwners(app, shown), limits, recording, cuts);
    else
        cuts.push_back(Object{{"reason", "accessibility not granted: no accessibility trees"}});
    if (*scene["screenRecording"].asBool())
        recordPicturesInto(context, shown, scene, recording, cuts);
    else
        cuts.push_back(Object{{"reason", "screen recording not granted: no pictures"}});

    notes["limits"] = limitsOf(limits);
    notes["cut"] = std::move(cuts);
    notes["redacted"] = redacting;
    scene[recordingKey] = std::move(notes);
    if (redacting) {
        redact(scene);
        recording.pictures.clear();
    }
    recording.scene = std::move(scene);
    return recording;
}

void writeScene(const Recording& recording, const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::runtime_error("cannot create " + folder + ": " + error.message());
    const std::filesystem::path base(folder);
    for (const auto& [file, picture] : recording.pictures) {
        std::string png = image::encodePng(picture);
        if (png.empty()) throw std::runtime_error("cannot encode the picture " + file);
        writeFile(base / file, png);
    }
    auto text = json::serialise(Value(recording.scene));
    if (!text) throw std::runtime_error("the desktop holds a text that is not UTF-8 or a number that is not finite");
    writeFile(base / "scene.json", *text + "\n");
}

int run(std::shared_ptr<Platform> platform, const RecordRequest& request) {
    Object answer;
    try {
        Recording recording = recordScene(std::move(platform), request.redact);
        writeScene(recording, request.folder);
        const Value& notes = recording.scene.at(recordingKey);
        answer = Object{{"ok", true},
                        {"scene", (std::filesystem::path(request.folder) / "scene.json").string()},
                        {"pictures", recording.pictures.size()},
                        {"elements", recording.elements},
                        {"cuts", notes.find("cut")->asArray()->size()}};
    } catch (const std::exception& e) {
        answer = Object{{"ok", false}, {"error", std::string(e.what())}};
    }
    const std::string line = json::serialise(Value(answer)).value_or(R"({"ok":false})") + "\n";
    std::fputs(line.c_str(), stdout);
    return std::fflush(stdout) == 0 && *answer["ok"].asBool() ? 0 : 1;
}

}  // namespace quillgate::recorder
