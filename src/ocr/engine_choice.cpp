// Off macOS: PP-OCRv4 where its models are installed, Tesseract otherwise.
#include "engines.h"

namespace lumascan {

std::unique_ptr<Recognizer> makeRecognizer(std::vector<std::string> customWords) {
    if (auto ppocr = makePpOcrRecognizer(customWords)) return ppocr;
    return makeTesseractRecognizer(std::move(customWords));
}

}  // namespace lumascan
