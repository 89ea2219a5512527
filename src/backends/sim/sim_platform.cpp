#include "backends/sim/sim_platform.h"

#include <algorithm>

#include "backends/sim/scene.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

// The program prints this message as its one line on standard error.
std::runtime_error sceneFailure(const std::string& name, const std::string& problem) {
    std::string line = name + ": " + problem;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return std::runtime_error(line);
}

Value parsed(std::string_view text, const std::string& name) {
    try {
        return parseScene(text);
    } catch (const SceneError& e) {
        throw sceneFailure(name, e.what());
    }
}

Value checked(Value scene, const DesktopSetup& setup) {
    try {
        if (!scene.isObject()) throw SceneError("the scene must be a JSON object");
        scene = withBase(std::move(scene), setup.baseDir);
        checkScene(scene, setup.baseDir);
    } catch (const SceneError& e) {
        throw sceneFailure(setup.name, e.what());
    }
    return scene;
}

}  // namespace

SimPlatform::SimPlatform(Value scene, DesktopSetup setup)
    : baseDir_(setup.baseDir),
      scene_(checked(std::move(scene), setup)),
      epoch_(number(member(scene_, "epoch")).value_or(defaults::epoch)),
      clock_(sceneClock(scene_)),
      script_(scene_),
      log_(setup.logPath) {}

std::shared_ptr<SimPlatform> SimPlatform::fromText(std::string_view json, std::string baseDir,
                                           std::optional<std::string> logPath) {
    DesktopSetup setup{std::move(baseDir), std::move(logPath)};
    Value scene = parsed(json, setup.name);
    return std::make_shared<SimPlatform>(std::move(scene), std::move(setup));
}

std::shared_ptr<SimPlatform> SimPlatform::fromFile(const std::string& path, std::optional<std::string> logPath) {
    std::string text;
    try {
        text = readFile(path);
    } catch (const SceneError& e) {
        throw sceneFailure(path, std::string("cannot read: ") + e.what());
    }
    return std::make_shared<SimPlatform>(parsed(text, path), DesktopSetup{folderOf(path), std::move(logPath), path});
}

void SimPlatform::keepEvents() {
    std::lock_guard lock(mutex_);
    log_.keep();
}

std::vector<Value> SimPlatform::events() const {
    std::lock_guard lock(mutex_);
    return log_.events();
}

double SimPlatform::advance() {
    double now = clock_->now();
    script_.applyDue(now, scene_, [this](const Value& patch, double time) { since_.patched(patch, time); });
    return now;
}

}  // namespace quillgate::sim
