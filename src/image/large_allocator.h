#pragma once
// The allocator of buffers of megabytes that are kept and filled again
// request after request, such as the reference decoder's inflated rows.
// Where the system offers transparent huge pages, such a buffer is aligned
// to them and asks for them: filling 20 MB that other work has evicted from
// the caches then misses the TLB a few times rather than some five thousand
// times, which took about a tenth off "bind-region" (bench/capture_bench.cpp).
// Elsewhere, and for small buffers, it is plain malloc.

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace quillgate::image {

template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) {}

    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        size_t bytes = n * sizeof(T);
        void* p = nullptr;
#ifdef MADV_HUGEPAGE
        constexpr size_t hugePage = size_t{2} << 20;
        if (bytes >= hugePage) {
            bytes = (bytes + hugePage - 1) / hugePage * hugePage;
            p = std::aligned_alloc(hugePage, bytes);
            // Only a hint: refused, the pages are ordinary ones.
            if (p) madvise(p, bytes, MADV_HUGEPAGE);
        }
#endif
        if (!p) p = std::malloc(bytes > 0 ? bytes : 1);
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }

    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

}  // namespace quillgate::image
