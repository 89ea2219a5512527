#pragma once
// The windows whose pictures and owners' trees a scene needs: the chat
// application's on-screen windows and every on-screen window that overlaps
// one of them (the program reads the pixels of those and the accessibility
// tree of whatever popup is over the chat window), each picture taken once
// by the screenshot service at its frame's size.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/context.h"
#include "platform/image.h"

namespace quillgate::recorder {

struct ShownWindow {
    uint32_t window = 0;
    Rect frame;
    std::optional<int32_t> pid;
};

// Those windows, front to back; `chatWindows` are window numbers.
std::vector<ShownWindow> windowsAtChat(Platform& platform, const std::vector<uint32_t>& chatWindows);

struct WindowPicture {
    uint32_t window = 0;
    Image image;
};

// Their pictures. A screenshot that fails or does not answer within the
// capture time limit is left out and listed in `cuts` as {"picture":
// number, "reason": why}.
std::vector<WindowPicture> recordPictures(Context& context, const std::vector<ShownWindow>& shown, Array& cuts);

}  // namespace quillgate::recorder
