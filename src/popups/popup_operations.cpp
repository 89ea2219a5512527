#include "popups/popup_operations.h"

#include "capture/encoding.h"
#include "core/values.h"
#include "popups/popup_capture.h"
#include "popups/popup_reading.h"
#include "popups/popup_start.h"

namespace quillgate {

namespace {

Array relativeElements(const std::vector<PopupElement>& elements, const Rect& window) {
    Array list;
    for (const PopupElement& e : elements) {
        list.emplace_back(Object{
            {"text", e.text},
            {"x", (e.frame.x - window.x) / window.width},
            {"y", (e.frame.y - window.y) / window.height},
            {"width", e.frame.width / window.width},
            {"height", e.frame.height / window.height},
        });
    }
    return list;
}

}  // namespace

Object popupOperation(const GatedCall& call) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    auto popup = findPopup(platform, window, false);
    if (!popup) return noPopup(platform, window);

    Array texts;
    for (std::string& t : popupTexts(platform, *popup)) texts.emplace_back(std::move(t));
    Object answer{
        {"found", true},
        {"texts", std::move(texts)},
        {"rect", Object{{"x", popup->rect.x - window.rect.x},
                        {"y", popup->rect.y - window.rect.y},
                        {"width", popup->rect.width},
                        {"height", popup->rect.height}}},
    };
    if (flag(call.request, "elements")) {
        answer.emplace("elements", relativeElements(popupElements(platform, *popup), window.rect));
    }
    if (flag(call.request, "image")) {
        Image image = capturePopup(call.context, *popup);
        answer.emplace("base64", Bytes{png(image)});
        answer.emplace("width", image.width);
        answer.emplace("height", image.height);
    }
    return answer;
}

}  // namespace quillgate
