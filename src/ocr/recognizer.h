#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "text_line.h"

namespace lumascan {

// One OCR engine. The build picks the implementation for the platform, and
// makeRecognizer() is defined by that engine's source file only.
class Recognizer {
public:
    virtual ~Recognizer() = default;

    // Text lines of an encoded image (PNG, JPEG, ...) in the engine's
    // recognition order. Empty when the bytes are no decodable image, when
    // recognition fails and when there is no text.
    virtual std::vector<TextLine> recognize(std::span<const std::byte> encoded) = 0;
};

// customWords: extra vocabulary the engine should favour (may be empty).
std::unique_ptr<Recognizer> makeRecognizer(std::vector<std::string> customWords);

}  // namespace lumascan
