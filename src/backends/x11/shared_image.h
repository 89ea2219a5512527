#pragma once
// A shared-memory segment the X server writes window pixels into (MIT-SHM),
// kept and grown as windows need, so a capture costs one request and no copy
// through the socket.

#include <xcb/shm.h>

#include <cstddef>
#include <cstdint>

namespace quillgate::x11 {

class Connection;

class SharedImage {
public:
    explicit SharedImage(const Connection& x) : x_(x) {}
    ~SharedImage();
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    // Room for at least this many bytes, attached to the server; false when
    // the segment cannot be made or attached.
    bool reserve(size_t bytes);
    xcb_shm_seg_t segment() const { return segment_; }
    const uint8_t* data() const { return data_; }

private:
    void release();

    const Connection& x_;
    xcb_shm_seg_t segment_ = 0;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace quillgate::x11
