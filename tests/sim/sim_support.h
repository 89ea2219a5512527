#pragma once
// Building simulated desktops from inline scenes and reading back their
// event logs in the tests of the simulated desktop.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/reader.h"
#include "json/writer.h"
#include "platform/sim/desktop.h"

namespace quillgate::sim::testing {

inline Value parse(std::string_view json) {
    json::Reader reader;
    auto value = reader.parse(json);
    EXPECT_TRUE(value.has_value()) << json;
    return value.value_or(Value());
}

inline std::string jsonText(const Value& value) { return json::serialise(value).value_or("<unwritable>"); }

inline KeyboardEvent key(uint16_t code, bool down, std::optional<int32_t> pid = std::nullopt,
                         std::optional<uint64_t> flags = std::nullopt) {
    KeyboardEvent event;
    event.code = code;
    event.down = down;
    event.pid = pid;
    event.flags = flags;
    return event;
}

inline MouseEvent mouseEvent(int32_t type, Point location = {}, int32_t button = mouse::leftButton,
                             std::optional<int64_t> clickState = std::nullopt) {
    MouseEvent event;
    event.type = type;
    event.location = location;
    event.button = button;
    event.clickState = clickState;
    return event;
}

inline ScrollEvent scroll(int32_t lines, Point location) {
    ScrollEvent event;
    event.lines = lines;
    event.location = location;
    return event;
}

inline std::shared_ptr<Desktop> desktop(std::string_view scene, std::string baseDir = ".") {
    return Desktop::fromText(scene, std::move(baseDir));
}

// The events logged so far as JSON lines without "t" (checked to be a
// simulated time on the way).
inline std::vector<std::string> eventLines(const Desktop& desktop) {
    std::vector<std::string> lines;
    for (Value event : desktop.events()) {
        Object& fields = *event.asObject();
        EXPECT_TRUE(fields.contains("t") && fields["t"].isNumber() && *fields["t"].asNumber() >= 0);
        fields.erase("t");
        lines.push_back(jsonText(event));
    }
    return lines;
}

// Expected lines, written readably and normalised like eventLines.
inline std::vector<std::string> lines(std::initializer_list<std::string_view> expected) {
    std::vector<std::string> normalised;
    for (std::string_view line : expected) normalised.push_back(jsonText(parse(line)));
    return normalised;
}

// One pixel's premultiplied RGBA.
inline std::array<int, 4> rgbaAt(const Image& image, int x, int y) {
    const uint8_t* p = image.row(y) + static_cast<size_t>(x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// Sets an environment variable for one scope; null unsets it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// A fresh folder under the temporary directory, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillgate-sim-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(path_.empty());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace quillgate::sim::testing
