// TextDecoder on Windows, where there is no iconv: the system's code pages
// read through platform::win::CodePageReader, which stops where iconv does.
#include "exchange/detail/text_decoder.h"

#include <algorithm>

namespace dovrel::exchange::detail {

using Stop = platform::win::CodePageReader::Stop;

std::optional<TextDecoder> TextDecoder::open(const std::string& name) {
    std::optional<platform::win::CodePageReader> reader = platform::win::CodePageReader::open(name);
    if (!reader) return std::nullopt;
    return TextDecoder(std::move(*reader));
}

void TextDecoder::decode(std::string_view bytes, bool last, std::string& out) {
    std::string joined;
    bytes = afterCarry(bytes, joined);
    while (!bytes.empty()) {
        const auto read = reader_.read(bytes, out);
        bytes.remove_prefix(read.used);
        if (read.stop == Stop::Unreadable) {
            replace(out);
            bytes.remove_prefix(std::min(reader_.unit(), bytes.size()));
        } else if (read.stop == Stop::Cut) {
            if (!last) {
                carry_.assign(bytes);
                return;
            }
            replace(out);  // the file ends inside a sequence
            return;
        }
    }
}

}  // namespace dovrel::exchange::detail
