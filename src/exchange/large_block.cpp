#include "exchange/large_block.h"

#include <sys/mman.h>

namespace dovrel::exchange {

void* allocateLargeBlock(std::size_t size) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    void* memory = nullptr;
    if (size >= 2 * kHugePage) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, rounded);
        if (memory) madvise(memory, rounded, MADV_HUGEPAGE);
    } else {
        memory = std::malloc(size ? size : 1);
    }
    if (!memory) throw std::bad_alloc();
    return memory;
}

}  // namespace dovrel::exchange
