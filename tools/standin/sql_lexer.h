#pragma once
// Splits T-SQL text into tokens: words, [bracketed] and "quoted" names,
// 'strings' and N'strings', numbers, 0x binary literals, @variables and
// punctuation. Comments are dropped; every token keeps its place in the
// source so that statements can be cut out verbatim.
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class TokenKind { Word, QuotedName, String, Number, Binary, Variable, Symbol };

struct Token {
    TokenKind kind = TokenKind::Symbol;
    std::string text;      // words and symbols as written; names and strings unescaped
    bool unicode = false;  // N'...'
    size_t begin = 0;      // offsets into the source
    size_t end = 0;

    bool is(std::string_view keyword) const;  // a word, ignoring case
    bool isSymbol(std::string_view s) const { return kind == TokenKind::Symbol && text == s; }
    // A word or a quoted name: something that can name an object.
    bool isName() const { return kind == TokenKind::Word || kind == TokenKind::QuotedName; }
};

// Throws StatementError (105, unclosed quotation mark) for an unterminated
// string or name.
std::vector<Token> tokenize(std::string_view sql);

// Words SQL Server reserves; a reserved word in the wrong place gives
// "Incorrect syntax near the keyword".
bool isReservedWord(std::string_view word);

}  // namespace standin
