#include "backends/x11/shared_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include "backends/x11/connection.h"

namespace quillgate::x11 {

SharedImage::~SharedImage() { release(); }

void SharedImage::release() {
    if (!data_) return;
    xcb_shm_detach(x_.get(), segment_);
    xcb_flush(x_.get());
    shmdt(data_);
    data_ = nullptr;
    size_ = 0;
}

bool SharedImage::reserve(size_t bytes) {
    if (data_ && size_ >= bytes) return true;
    release();
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* attached = shmat(id, nullptr, 0);
    if (attached == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    segment_ = xcb_generate_id(x_.get());
    const bool shared = x_.confirmed(xcb_shm_attach_checked(x_.get(), segment_, static_cast<uint32_t>(id), 0));
    // Marked for removal now that both sides hold it: it goes when both let go,
    // even if this process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (!shared) {
        // An attach the server did not confirm in time may still happen.
        xcb_shm_detach(x_.get(), segment_);
        xcb_flush(x_.get());
        shmdt(attached);
        return false;
    }
    data_ = static_cast<uint8_t*>(attached);
    size_ = bytes;
    return true;
}

}  // namespace quillgate::x11
