#pragma once

#include <string>
#include <vector>

#include "onnx_model.h"

namespace lumascan {

// One recognised character and the probability the model gave it.
struct Glyph {
    std::string text;  // UTF-8
    float confidence = 0;
    int firstStep = 0;  // the recogniser's output steps that read it
    int lastStep = 0;
};

// The recogniser's alphabet: class 0 is the CTC blank, classes 1..n the
// lines of the character list in order, class n + 1 the space.
class Charset {
public:
    // Empty when the file cannot be read.
    static Charset load(const std::string& path);
    explicit Charset(std::vector<std::string> characters);

    std::size_t classes() const { return symbols_.size(); }
    const std::string& symbol(std::size_t index) const { return symbols_[index]; }

private:
    std::vector<std::string> symbols_;
};

// Best-path CTC decoding of a 1 x steps x classes probability tensor: the
// most probable class of each step, repeats merged, blanks dropped. Empty
// when the tensor does not match the charset.
std::vector<Glyph> decodeBestPath(const Tensor& probabilities, const Charset& charset);

}  // namespace lumascan
