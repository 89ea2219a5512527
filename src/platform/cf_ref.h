#pragma once
// The owner of one Core Foundation reference obtained under the Create or
// Copy rule. It releases the reference when it goes out of scope, so every
// object a port call obtains is gone when that call returns, whatever path
// it takes out. Shared by the macOS backend and the Core Graphics pictures of
// image/, which sits below the backends.

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace quillgate::macos {

template <typename Ref>
class CfRef {
public:
    CfRef() = default;
    // Takes over a reference the caller owns (+1); null is allowed.
    explicit CfRef(Ref owned) : ref_(owned) {}
    ~CfRef() { reset(); }

    CfRef(CfRef&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    CfRef& operator=(CfRef&& other) noexcept {
        if (this != &other) {
            reset();
            ref_ = std::exchange(other.ref_, nullptr);
        }
        return *this;
    }
    CfRef(const CfRef&) = delete;
    CfRef& operator=(const CfRef&) = delete;

    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }

    // Where a Copy function with an out parameter stores its result; whatever
    // the holder owned before is released first.
    Ref* out() {
        reset();
        return &ref_;
    }

    // Hands the reference over to a caller that releases it itself.
    Ref release() { return std::exchange(ref_, nullptr); }

private:
    void reset() {
        if (ref_) CFRelease(ref_);
        ref_ = nullptr;
    }

    Ref ref_ = nullptr;
};

}  // namespace quillgate::macos
