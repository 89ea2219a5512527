#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace lumascan {

// A dense float tensor, row-major.
struct Tensor {
    std::vector<std::int64_t> shape;
    std::vector<float> data;
};

// One ONNX model with one float input and one float output, run by ONNX
// Runtime on the calling thread alone: no thread pool, so a recognition
// never has a second thread competing for the few cores of the machine.
class OnnxModel {
public:
    // Null when the runtime or the file cannot make a session of it.
    static std::unique_ptr<OnnxModel> load(const std::filesystem::path& file);

    ~OnnxModel();
    OnnxModel(const OnnxModel&) = delete;
    OnnxModel& operator=(const OnnxModel&) = delete;

    // The first output for `input`; nullopt when the runtime refuses it.
    std::optional<Tensor> run(Tensor& input);

private:
    struct Session;
    explicit OnnxModel(std::unique_ptr<Session> session);
    std::unique_ptr<Session> session_;
};

}  // namespace lumascan
