#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumascan {

inline constexpr std::size_t maxCustomWords = 50;

// Custom words from a JSON text (the value of VESKOR_OCR_WORDS): the first
// maxCustomWords members of a non-empty array whose members are all
// strings. No words for a null pointer, malformed JSON, any other JSON
// value, or an array holding anything but strings.
std::vector<std::string> parseVocabulary(const char* json);

}  // namespace lumascan
