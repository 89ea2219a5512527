#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recognizer.h"

namespace lumascan {

// The engines off macOS; makeRecognizer() picks one.

// PP-OCRv4 (a text-line detector and a line recogniser, as ONNX models run
// by ONNX Runtime) as a Recognizer. Null when its models are not installed.
std::unique_ptr<Recognizer> makePpOcrRecognizer(std::vector<std::string> customWords);

// Tesseract as a Recognizer; it finds its models when it first recognises.
std::unique_ptr<Recognizer> makeTesseractRecognizer(std::vector<std::string> customWords);

}  // namespace lumascan
