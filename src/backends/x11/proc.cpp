#include "backends/x11/proc.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include <charconv>
#include <fstream>
#include <sstream>

namespace quillgate::x11 {

namespace {

std::optional<std::string> fileText(const std::string& path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::optional<uint64_t> decimal(std::string_view text) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::string procPath(int32_t pid, const char* leaf) { return "/proc/" + std::to_string(pid) + "/" + leaf; }

}  // namespace

std::optional<std::string> processName(int32_t pid) {
    if (pid <= 0) return std::nullopt;
    auto name = fileText(procPath(pid, "comm"));
    if (!name) return std::nullopt;
    if (!name->empty() && name->back() == '\n') name->pop_back();
    return name;
}

std::optional<uint64_t> startTicks(std::string_view stat) {
    const size_t close = stat.rfind(')');
    if (close == std::string_view::npos) return std::nullopt;
    // After ") " come fields 3, 4, ...; the start time is field 22.
    std::string_view rest = stat.substr(close + 1);
    for (int field = 3; field <= 22; ++field) {
        const size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(start);
        const size_t end = rest.find(' ');
        if (field == 22) return decimal(rest.substr(0, end));
        if (end == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(end);
    }
    return std::nullopt;
}

bool exited(std::string_view stat) {
    const size_t close = stat.rfind(')');
    if (close == std::string_view::npos) return false;
    const size_t state = stat.find_first_not_of(' ', close + 1);
    return state != std::string_view::npos && (stat[state] == 'Z' || stat[state] == 'X');
}

bool killPending(std::string_view status) {
    constexpr uint64_t kill = uint64_t{1} << (SIGKILL - 1);
    for (std::string_view key : {"\nSigPnd:", "\nShdPnd:"}) {
        const size_t at = status.find(key);
        if (at == std::string_view::npos) continue;
        std::string_view mask = status.substr(at + key.size());
        mask.remove_prefix(std::min(mask.find_first_not_of(" \t"), mask.size()));
        uint64_t pending = 0;
        const auto [end, error] = std::from_chars(mask.data(), mask.data() + mask.size(), pending, 16);
        if (error == std::errc() && end != mask.data() && (pending & kill)) return true;
    }
    return false;
}

std::optional<uint64_t> bootTime(std::string_view stat) {
    constexpr std::string_view key = "btime ";
    size_t at = 0;
    while ((at = stat.find(key, at)) != std::string_view::npos) {
        if (at == 0 || stat[at - 1] == '\n') return decimal(stat.substr(at + key.size()));
        at += key.size();
    }
    return std::nullopt;
}

std::optional<double> launchDate(int32_t pid) {
    if (pid <= 0) return std::nullopt;
    const auto stat = fileText(procPath(pid, "stat"));
    const auto ticks = stat && !exited(*stat) ? startTicks(*stat) : std::nullopt;
    if (!ticks) return std::nullopt;
    const auto status = fileText(procPath(pid, "status"));
    if (!status || killPending(*status)) return std::nullopt;
    // The boot time never changes while the system runs.
    static const std::optional<uint64_t> boot = [] {
        const auto system = fileText("/proc/stat");
        return system ? bootTime(*system) : std::nullopt;
    }();
    const long perSecond = sysconf(_SC_CLK_TCK);
    if (!boot || perSecond <= 0) return std::nullopt;
    return static_cast<double>(*boot) + static_cast<double>(*ticks) / static_cast<double>(perSecond);
}

}  // namespace quillgate::x11
