#include "exchange/detail/line_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dovrel::exchange::detail {

#if defined(__SSE2__)
namespace {

// A byte counter per lane counts to 255 at most: the lanes are summed after
// this many blocks.
constexpr int kBlocksPerSum = 255;

std::size_t laneSum(__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
}

}  // namespace

std::size_t countByte(std::string_view text, char byte) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const __m128i wanted = _mm_set1_epi8(byte);
    std::size_t count = 0;
    while (end - p >= 16) {
        __m128i counts = _mm_setzero_si128();
        for (int blocks = 0; blocks < kBlocksPerSum && end - p >= 16; ++blocks, p += 16)
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), wanted));
        count += laneSum(counts);
    }
    return count + static_cast<std::size_t>(std::count(p, end, byte));
}

LineExtent scanLine(std::string_view text, std::size_t begin, char lineEnd) {
    const char* const base = text.data();
    const char* p = base + begin;
    const char* const end = base + text.size();
    const __m128i cr = _mm_set1_epi8(lineEnd), tab = _mm_set1_epi8('\t');
    const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    LineExtent line;
    while (end - p >= 16) {
        __m128i tabs = _mm_setzero_si128();
        for (int blocks = 0; blocks < kBlocksPerSum && end - p >= 16; ++blocks, p += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i isTab = _mm_cmpeq_epi8(bytes, tab);
            if (const int crs = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr))) {
                const int at = std::countr_zero(static_cast<unsigned>(crs));
                const __m128i beforeCr = _mm_cmplt_epi8(lanes, _mm_set1_epi8(static_cast<char>(at)));
                line.tabs += laneSum(_mm_sub_epi8(tabs, _mm_and_si128(isTab, beforeCr)));
                line.end = static_cast<std::size_t>(p - base) + static_cast<std::size_t>(at);
                return line;
            }
            tabs = _mm_sub_epi8(tabs, isTab);
        }
        line.tabs += laneSum(tabs);
    }
    for (; p < end && *p != lineEnd; ++p) line.tabs += *p == '\t';
    line.end = static_cast<std::size_t>(p - base);
    return line;
}

#else

std::size_t countByte(std::string_view text, char byte) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), byte));
}

LineExtent scanLine(std::string_view text, std::size_t begin, char lineEnd) {
    const void* cr = std::memchr(text.data() + begin, lineEnd, text.size() - begin);
    LineExtent line;
    line.end = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - text.data()) : text.size();
    line.tabs = countByte(text.substr(begin, line.end - begin), '\t');
    return line;
}

#endif

}  // namespace dovrel::exchange::detail
