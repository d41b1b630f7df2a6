#pragma once
// Memory for a whole source file and for its line index. Such blocks run to
// hundreds of megabytes and are filled once, front to back, so their pages
// are mapped when the block is allocated, all at once rather than a page
// fault at a time, and a large block asks for huge pages. The contents are
// not defined.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace dovrel::exchange {

// At least `size` bytes (one for 0), released with std::free. Throws
// std::bad_alloc.
void* allocateLargeBlock(std::size_t size);

// allocateLargeBlock as a standard allocator, for the line index's vector.
template <class T>
struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(allocateLargeBlock(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <class U>
    bool operator==(const LargeBlockAllocator<U>&) const {
        return true;
    }
};

}  // namespace dovrel::exchange
