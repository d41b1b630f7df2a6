#include "exchange/large_block.h"

#ifdef _WIN32

namespace dovrel::exchange {

// Windows has neither huge-page advice nor aligned blocks that std::free
// releases: a plain block, its pages mapped as they are filled.
void* allocateLargeBlock(std::size_t size) {
    void* memory = std::malloc(size ? size : 1);
    if (!memory) throw std::bad_alloc();
    return memory;
}

}  // namespace dovrel::exchange

#else

#include <sys/mman.h>

#include <cstdint>

namespace dovrel::exchange {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Maps the whole pages inside [memory, memory + size) at once, one call
// instead of a page fault per page as the block is filled. Kernels before
// 5.14 refuse the advice; then the pages come one fault at a time as before.
void populate(void* memory, std::size_t size) {
    const auto begin = (reinterpret_cast<std::uintptr_t>(memory) + kPage - 1) / kPage * kPage;
    const auto end = (reinterpret_cast<std::uintptr_t>(memory) + size) / kPage * kPage;
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

}  // namespace

void* allocateLargeBlock(std::size_t size) {
    void* memory = nullptr;
    if (size >= 2 * kHugePage) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, rounded);
        if (memory) madvise(memory, rounded, MADV_HUGEPAGE);
    } else {
        memory = std::malloc(size ? size : 1);
    }
    if (!memory) throw std::bad_alloc();
    populate(memory, size);
    return memory;
}

}  // namespace dovrel::exchange

#endif
