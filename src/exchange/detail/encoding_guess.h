#pragma once
// Whether a file with neither a byte-order mark nor a named encoding is
// UTF-8 or in the machine's ANSI code page.
//
// Most files decide themselves: bytes that are not UTF-8 are the code page's.
// But a short text of a double-byte code page (GBK, Big5, ...) can happen to
// be valid UTF-8 as well: 壹 in GBK is D2 BC, which UTF-8 reads as the
// Cyrillic Ҽ. Such a file is read both ways and each reading is judged by
// the characters it gives: what this program's files hold (Chinese, Japanese
// and Korean characters and their punctuation, Latin-1 letters, common
// symbols), and in the code page's reading, its main character set rather
// than the rarely used extension areas. The reading whose characters are the
// plausible ones wins; when neither clearly is, the choice is uncertain.
//
// A general detector (libuchardet 0.0.7) does not serve here: on such
// two-line files it names GBK 姓名/张三 ISO-8859-7, GBK 壹 UTF-8 and UTF-8
// José ISO-8859-1, because it has no notion of which two encodings are in
// question.
#include <string_view>

namespace dovrel::exchange::detail {

enum class EncodingGuess { Utf8, Ansi, Uncertain };

// `bytes` is valid UTF-8 and not plain ASCII; `codePage` is the ANSI code page.
EncodingGuess guessUtf8OrAnsi(std::string_view bytes, int codePage);

}  // namespace dovrel::exchange::detail
