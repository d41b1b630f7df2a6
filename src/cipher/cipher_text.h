#pragma once
// The credential cipher: a reversible, keyed text cipher of the program's
// own design. Installed copies read and write the stored login and password
// in this format, so it must stay exactly as it is, limits included.
#include <string>
#include <string_view>

#include "cipher/cipher_seed.h"

namespace dovrel {

// mode "E" encrypts `text`, "D" decrypts it (either case); any other mode
// gives the empty text. Characters count as code points of the UTF-8 text
// and compute with their codes in the ANSI code page. A character that code
// page lacks counts as '?'; a decrypted code that is no character there
// comes back as U+FFFD, so the result is always valid UTF-8. An error (an
// empty key where a key character is needed: 5; a 16-bit overflow or a key
// of more than 32767 characters: 6) shows "系统错误" + number + description
// and gives the empty text.
std::string CipherText(std::string_view mode, std::string_view key, std::string_view text);

}  // namespace dovrel
