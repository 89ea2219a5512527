// The request reader against simdjson on the same mutated text: the same
// verdict and the same value (json_oracle.h).

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "json_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string difference =
        quillgate::fuzz::compareJsonReaders(std::string_view(reinterpret_cast<const char*>(data), size));
    if (difference.empty()) return 0;
    std::fprintf(stderr, "JSON readers disagree: %s\n", difference.c_str());
    std::abort();
}
