#include "code_page.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <utility>

namespace standin {
namespace {

bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// One iconv descriptor, closed with its owner.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())), fromUtf8_(from == "UTF-8") {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; each character it cannot convert (or each
    // malformed byte) becomes `replacement` and is skipped.
    std::string convert(std::string_view in, std::string_view replacement) {
        std::string out;
        if (!ok()) return std::string(in);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buffer[1024];
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL: give up one whole UTF-8 character (or one byte).
            out.append(replacement);
            size_t skip = 1;
            while (fromUtf8_ && skip < left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
            src += skip;
            left -= skip;
        }
        return out;
    }

private:
    iconv_t cd_;
    bool fromUtf8_;
};

std::string codePageName(int codePage) { return "CP" + std::to_string(codePage); }

// Descriptors are kept per thread: each session has its own thread.
Converter& converter(int codePage, bool toPage) {
    thread_local std::map<std::pair<int, bool>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{codePage, toPage}];
    if (!slot) {
        slot = toPage ? std::make_unique<Converter>(codePageName(codePage), "UTF-8")
                      : std::make_unique<Converter>("UTF-8", codePageName(codePage));
    }
    return *slot;
}

}  // namespace

std::string toCodePage(std::string_view utf8, int codePage) {
    if (isAscii(utf8)) return std::string(utf8);
    return converter(codePage, true).convert(utf8, "?");
}

std::string fromCodePage(std::string_view bytes, int codePage) {
    if (isAscii(bytes)) return std::string(bytes);
    return converter(codePage, false).convert(bytes, "?");
}

std::string throughCodePage(std::string_view utf8, int codePage) {
    if (isAscii(utf8)) return std::string(utf8);
    return fromCodePage(toCodePage(utf8, codePage), codePage);
}

}  // namespace standin
