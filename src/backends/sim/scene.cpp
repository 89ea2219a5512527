#include "backends/sim/scene.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "json/reader.h"
#include "backends/sim/merge_patch.h"
#include "backends/sim/pictures.h"
#include "backends/sim/scene_values.h"
#include "backends/sim/script.h"

namespace quillgate::sim {

namespace {

std::string quoted(std::string_view key) { return "\"" + std::string(key) + "\""; }

const Array* arrayOrNone(const Value& scene, std::string_view key) {
    const Value* value = member(scene, key);
    if (!value) return nullptr;
    if (!value->isArray()) throw SceneError(quoted(key) + " must be an array");
    return value->asArray();
}

void checkClock(const Value& scene) {
    if (const Value* mode = member(scene, "clock")) {
        const std::string* name = text(mode);
        if (!name || *name != virtualClock) throw SceneError("\"clock\" must be \"virtual\"");
    }
    if (const Value* scale = member(scene, "timeScale")) {
        auto n = number(scale);
        if (!n || *n <= 0) throw SceneError("\"timeScale\" must be a positive number");
    }
    if (const Value* epoch = member(scene, "epoch"); epoch && !number(epoch))
        throw SceneError("\"epoch\" must be a number");
}

void checkApps(const Value& scene) {
    const Array* apps = arrayOrNone(scene, "apps");
    if (!apps) return;
    for (size_t i = 0; i < apps->size(); ++i) {
        const Value& app = (*apps)[i];
        if (!app.isObject() || !pid(member(app, "pid")))
            throw SceneError("apps[" + std::to_string(i) + "]: \"pid\" must be an integer");
    }
}

void checkTimeline(const Value& scene) {
    const Array* timeline = arrayOrNone(scene, "timeline");
    if (!timeline) return;
    for (size_t i = 0; i < timeline->size(); ++i) {
        const Value& entry = (*timeline)[i];
        std::string where = "timeline[" + std::to_string(i) + "]: ";
        if (!number(member(entry, "at"))) throw SceneError(where + "\"at\" must be a number");
        const Value* merge = member(entry, "merge");
        if (!merge || !merge->isObject()) throw SceneError(where + "\"merge\" must be an object");
    }
}

void checkReactions(const Value& scene) {
    const Array* reactions = arrayOrNone(scene, "reactions");
    if (!reactions) return;
    for (size_t i = 0; i < reactions->size(); ++i) {
        const Value& reaction = (*reactions)[i];
        std::string where = "reactions[" + std::to_string(i) + "]: ";
        const Value* on = member(reaction, "on");
        if (!on) throw SceneError(where + "\"on\" is missing");
        if (auto problem = triggerProblem(*on)) throw SceneError(where + *problem);
        const Value* merge = member(reaction, "merge");
        if (!merge || !merge->isObject()) throw SceneError(where + "\"merge\" must be an object");
        if (const Value* delay = member(reaction, "delay")) {
            auto seconds = number(delay);
            if (!seconds || *seconds < 0) throw SceneError(where + "\"delay\" must be a number of seconds, at least 0");
        }
        if (const Value* times = member(reaction, "times"); times && !integer(times))
            throw SceneError(where + "\"times\" must be an integer");
    }
}

void checkPictures(const Value& scene, const std::string& baseDir) {
    const Value* pixels = member(scene, "pixels");
    if (!pixels) return;
    if (!pixels->isObject()) throw SceneError("\"pixels\" must be an object");
    for (const auto& [number, picture] : *pixels->asObject()) {
        if (auto problem = pictureProblem(picture, baseDir)) throw SceneError("pixels." + number + ": " + *problem);
    }
}

}  // namespace

Value parseScene(std::string_view text) {
    json::Reader reader;
    auto scene = reader.parse(text);
    if (!scene) throw SceneError("not valid JSON");
    return std::move(*scene);
}

std::string readFile(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw SceneError(std::strerror(errno));
    std::string content;
    char buffer[1 << 16];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file.get())) content.append(buffer, n);
    if (std::ferror(file.get())) throw SceneError(std::strerror(errno));
    return content;
}

Value withBase(Value scene, std::string folder) {
    // Deep enough for any sensible sharing, shallow enough to stop a cycle.
    constexpr int maxBases = 8;
    std::vector<Value> patches;
    while (const Value* base = member(scene, "base")) {
        const std::string* file = base->asString();
        if (!file) throw SceneError("\"base\" must be a file name");
        if (patches.size() == maxBases) throw SceneError("more than 8 bases: \"base\" " + *file);
        const std::string path = resolvePath(folder, *file);
        std::string text;
        try {
            text = readFile(path);
        } catch (const SceneError& e) {
            throw SceneError("base " + *file + ": cannot read: " + e.what());
        }
        Value next;
        try {
            next = parseScene(text);
        } catch (const SceneError& e) {
            throw SceneError("base " + *file + ": " + e.what());
        }
        if (!next.isObject()) throw SceneError("base " + *file + ": the scene must be a JSON object");
        folder = folderOf(path);
        scene.asObject()->erase("base");
        patches.push_back(std::move(scene));
        scene = std::move(next);
    }
    for (auto patch = patches.rbegin(); patch != patches.rend(); ++patch) mergePatch(scene, *patch);
    return scene;
}

void checkScene(const Value& scene, const std::string& baseDir) {
    checkClock(scene);
    checkApps(scene);
    checkTimeline(scene);
    checkReactions(scene);
    checkPictures(scene, baseDir);
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string resolvePath(const std::string& folder, const std::string& path) {
    if (path.starts_with('/') || folder.empty()) return path;
    return folder.ends_with('/') ? folder + path : folder + "/" + path;
}

}  // namespace quillgate::sim
