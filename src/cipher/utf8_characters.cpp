#include "cipher/utf8_characters.h"

#include <cstddef>

#include "platform/utf8_check.h"

namespace dovrel::cipher {

std::vector<std::string_view> splitCharacters(std::string_view utf8) {
    std::vector<std::string_view> characters;
    characters.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t length = platform::utf8::sequenceLength(utf8, pos);
        if (length == 0) length = 1;
        characters.push_back(utf8.substr(pos, length));
        pos += length;
    }
    return characters;
}

}  // namespace dovrel::cipher
