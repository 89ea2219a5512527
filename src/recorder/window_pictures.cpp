#include "recorder/window_pictures.h"

#include <algorithm>
#include <exception>

#include "capture/capture.h"
#include "windows/geometry.h"
#include "windows/window_entry.h"

namespace quillgate::recorder {

std::vector<ShownWindow> windowsAtChat(Platform& platform, const std::vector<uint32_t>& chatWindows) {
    std::vector<ShownWindow> shown;
    auto entries = windowEntries(platform, WindowListOption::onScreenExcludeDesktop);
    if (!entries) return shown;
    std::vector<Rect> chatFrames;
    for (const WindowEntry& entry : *entries)
        if (entry.number && entry.bounds && std::count(chatWindows.begin(), chatWindows.end(), *entry.number))
            chatFrames.push_back(*entry.bounds);
    for (const WindowEntry& entry : *entries) {
        if (!entry.number || !entry.bounds) continue;
        const bool wanted =
            std::count(chatWindows.begin(), chatWindows.end(), *entry.number) ||
            std::any_of(chatFrames.begin(), chatFrames.end(), [&](const Rect& chat) { return intersects(chat, *entry.bounds); });
        const bool taken = std::any_of(shown.begin(), shown.end(), [&](const ShownWindow& s) { return s.window == *entry.number; });
        if (wanted && !taken) shown.push_back({*entry.number, *entry.bounds, entry.pid});
    }
    return shown;
}

std::vector<WindowPicture> recordPictures(Context& context, const std::vector<ShownWindow>& windows, Array& cuts) {
    std::vector<WindowPicture> pictures;
    for (const ShownWindow& shown : windows) {
        const PixelSize size = pixelSize(shown.frame);
        if (size.width < 1 || size.height < 1) continue;
        // A hung service would leave one more thread parked per window.
        if (!serviceAvailable(context)) {
            cuts.push_back(Object{{"picture", shown.window}, {"reason", "screenshot service busy or timed out"}});
            continue;
        }
        try {
            Image image = race(context, [platform = context.platform, id = shown.window, size] {
                return platform->screenshot(id, size.width, size.height);
            });
            pictures.push_back({shown.window, std::move(image)});
        } catch (const std::exception& e) {
            if (dynamic_cast<const CaptureTimeout*>(&e)) backOffService(context);
            cuts.push_back(Object{{"picture", shown.window}, {"reason", std::string(e.what())}});
        }
    }
    return pictures;
}

}  // namespace quillgate::recorder
