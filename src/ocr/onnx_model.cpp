#include "onnx_model.h"

#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>

#include <onnxruntime/onnxruntime_c_api.h>

namespace lumascan {
namespace {

const OrtApi& ort() {
    static const OrtApi& api = *OrtGetApiBase()->GetApi(ORT_API_VERSION);
    return api;
}

// True when the call succeeded; a failure's status is released.
bool ok(OrtStatus* status) {
    if (status == nullptr) return true;
    ort().ReleaseStatus(status);
    return false;
}

// The runtime's environment, made once for the process and kept to its end.
// Its thread pools, shared by every session, hold the caller's thread only:
// a session's own pools would each start a thread even when told to use one.
// Telemetry stays off: it would start a thread of its own, and a helper
// program reports nothing about its use.
OrtEnv* environment() {
    static OrtEnv* const env = [] {
        ::setenv("ORT_DISABLE_TELEMETRY", "1", 1);
        OrtThreadingOptions* threading = nullptr;
        if (!ok(ort().CreateThreadingOptions(&threading))) return static_cast<OrtEnv*>(nullptr);
        OrtEnv* made = nullptr;
        const bool done = ok(ort().SetGlobalIntraOpNumThreads(threading, 1)) &&
                          ok(ort().SetGlobalInterOpNumThreads(threading, 1)) &&
                          ok(ort().SetGlobalSpinControl(threading, 0)) &&
                          ok(ort().CreateEnvWithGlobalThreadPools(ORT_LOGGING_LEVEL_FATAL, "lumascan",
                                                                  threading, &made));
        ort().ReleaseThreadingOptions(threading);
        return done ? made : nullptr;
    }();
    return env;
}

template <typename T, void (*Release)(T*)>
struct Releaser {
    void operator()(T* p) const { Release(p); }
};
void releaseOptions(OrtSessionOptions* p) { ort().ReleaseSessionOptions(p); }
void releaseSession(OrtSession* p) { ort().ReleaseSession(p); }
void releaseValue(OrtValue* p) { ort().ReleaseValue(p); }
void releaseMemoryInfo(OrtMemoryInfo* p) { ort().ReleaseMemoryInfo(p); }
void releaseShape(OrtTensorTypeAndShapeInfo* p) { ort().ReleaseTensorTypeAndShapeInfo(p); }
using OptionsPtr = std::unique_ptr<OrtSessionOptions, Releaser<OrtSessionOptions, releaseOptions>>;
using SessionPtr = std::unique_ptr<OrtSession, Releaser<OrtSession, releaseSession>>;
using ValuePtr = std::unique_ptr<OrtValue, Releaser<OrtValue, releaseValue>>;
using MemoryInfoPtr = std::unique_ptr<OrtMemoryInfo, Releaser<OrtMemoryInfo, releaseMemoryInfo>>;
using ShapePtr =
    std::unique_ptr<OrtTensorTypeAndShapeInfo, Releaser<OrtTensorTypeAndShapeInfo, releaseShape>>;

OptionsPtr singleThreadOptions() {
    OrtSessionOptions* raw = nullptr;
    if (!ok(ort().CreateSessionOptions(&raw))) return nullptr;
    OptionsPtr options(raw);
    // The memory arena keeps every size of line image it has seen; without
    // it a run holds only what it needs. Optimising the graphs costs more
    // time when loading than it saves on the few runs of one picture.
    if (!ok(ort().DisablePerSessionThreads(raw)) ||
        !ok(ort().SetSessionExecutionMode(raw, ORT_SEQUENTIAL)) || !ok(ort().DisableCpuMemArena(raw)) ||
        !ok(ort().SetSessionGraphOptimizationLevel(raw, ORT_DISABLE_ALL))) {
        return nullptr;
    }
    return options;
}

std::string nameOf(OrtSession* session, bool input) {
    OrtAllocator* allocator = nullptr;
    char* name = nullptr;
    if (!ok(ort().GetAllocatorWithDefaultOptions(&allocator))) return {};
    const auto status = input ? ort().SessionGetInputName(session, 0, allocator, &name)
                              : ort().SessionGetOutputName(session, 0, allocator, &name);
    if (!ok(status) || name == nullptr) return {};
    std::string copy(name);
    ok(ort().AllocatorFree(allocator, name));
    return copy;
}

}  // namespace

struct OnnxModel::Session {
    SessionPtr session;
    MemoryInfoPtr memory;
    std::string input;
    std::string output;
};

OnnxModel::OnnxModel(std::unique_ptr<Session> session) : session_(std::move(session)) {}
OnnxModel::~OnnxModel() = default;

std::unique_ptr<OnnxModel> OnnxModel::load(const std::filesystem::path& file) {
    OrtEnv* env = environment();
    const auto options = singleThreadOptions();
    if (env == nullptr || !options) return nullptr;
    auto made = std::make_unique<Session>();
    OrtSession* session = nullptr;
    if (!ok(ort().CreateSession(env, file.c_str(), options.get(), &session))) return nullptr;
    made->session.reset(session);
    OrtMemoryInfo* memory = nullptr;
    if (!ok(ort().CreateCpuMemoryInfo(OrtDeviceAllocator, OrtMemTypeDefault, &memory))) return nullptr;
    made->memory.reset(memory);
    made->input = nameOf(session, true);
    made->output = nameOf(session, false);
    if (made->input.empty() || made->output.empty()) return nullptr;
    return std::unique_ptr<OnnxModel>(new OnnxModel(std::move(made)));
}

std::optional<Tensor> OnnxModel::run(Tensor& input) {
    const auto count = std::accumulate(input.shape.begin(), input.shape.end(), std::int64_t{1},
                                       std::multiplies<>());
    if (count <= 0 || static_cast<std::size_t>(count) != input.data.size()) return std::nullopt;
    OrtValue* raw = nullptr;
    if (!ok(ort().CreateTensorWithDataAsOrtValue(
            session_->memory.get(), input.data.data(), input.data.size() * sizeof(float),
            input.shape.data(), input.shape.size(), ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT, &raw))) {
        return std::nullopt;
    }
    const ValuePtr in(raw);
    const char* inName = session_->input.c_str();
    const char* outName = session_->output.c_str();
    OrtValue* out = nullptr;
    if (!ok(ort().Run(session_->session.get(), nullptr, &inName, &raw, 1, &outName, 1, &out))) {
        return std::nullopt;
    }
    const ValuePtr result(out);
    OrtTensorTypeAndShapeInfo* info = nullptr;
    if (!ok(ort().GetTensorTypeAndShape(out, &info))) return std::nullopt;
    const ShapePtr shapeInfo(info);
    std::size_t rank = 0;
    if (!ok(ort().GetDimensionsCount(info, &rank))) return std::nullopt;
    Tensor tensor;
    tensor.shape.resize(rank);
    std::size_t elements = 0;
    if (!ok(ort().GetDimensions(info, tensor.shape.data(), rank)) ||
        !ok(ort().GetTensorShapeElementCount(info, &elements))) {
        return std::nullopt;
    }
    float* data = nullptr;
    if (!ok(ort().GetTensorMutableData(out, reinterpret_cast<void**>(&data))) || data == nullptr) {
        return std::nullopt;
    }
    tensor.data.assign(data, data + elements);
    return tensor;
}

}  // namespace lumascan
