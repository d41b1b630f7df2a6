#include "exchange/detail/text_decoder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace dovrel::exchange::detail {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// The size of a code unit: an unreadable sequence is stepped over one unit at a time.
std::size_t unitOf(std::string_view name) {
    if (startsWithNoCase(name, "utf-16") || startsWithNoCase(name, "utf16") || startsWithNoCase(name, "ucs-2"))
        return 2;
    if (startsWithNoCase(name, "utf-32") || startsWithNoCase(name, "utf32") || startsWithNoCase(name, "ucs-4"))
        return 4;
    return 1;
}

}  // namespace

std::optional<TextDecoder> TextDecoder::open(const std::string& name) {
    IconvHandle handle = IconvHandle::open("UTF-8", name.c_str());
    if (!handle.valid()) return std::nullopt;
    return TextDecoder(std::move(handle), unitOf(name));
}

void TextDecoder::decode(std::string_view bytes, bool last, std::string& out) {
    std::string joined;
    bytes = afterCarry(bytes, joined);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        const std::size_t used = out.size();
        // Room for the worst case of this piece (UTF-8 needs at most 3 bytes
        // for a byte of input, 4 for a double-byte sequence), within reason.
        const std::size_t room = std::min<std::size_t>(inLeft, 1 << 20) * 3 + 16;
        if (out.capacity() - used < room) out.reserve(std::max(out.capacity() + out.capacity() / 2, used + room));
        out.resize(used + room);
        char* dest = out.data() + used;
        std::size_t destLeft = room;
        const std::size_t result = iconv(handle_.get(), &in, &inLeft, &dest, &destLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        out.resize(out.size() - destLeft);
        if (error == EILSEQ) {
            replace(out);
            const std::size_t step = std::min(unit_, inLeft);
            in += step;
            inLeft -= step;
        } else if (error == EINVAL) {
            if (!last) {
                carry_.assign(in, inLeft);
                return;
            }
            replace(out);  // the file ends inside a sequence
            break;
        }
        // E2BIG: the loop makes more room.
    }
    if (last) {
        char* dest = nullptr;
        std::size_t destLeft = 0;
        iconv(handle_.get(), nullptr, nullptr, &dest, &destLeft);
    }
}

}  // namespace dovrel::exchange::detail
