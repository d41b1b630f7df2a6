#pragma once
// One statement's tokens within the batch text they came from.
#include "sql_split.h"

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// One statement's tokens within the batch they came from.
struct StatementText {
    const std::vector<Token>& tokens;
    TokenRange range;
    std::string_view source;

    const Token& at(size_t k) const { return tokens[range.first + k]; }
    size_t size() const { return range.size(); }
    bool has(size_t k) const { return k < range.size(); }
    // The source text of tokens [from, to) of this statement, verbatim.
    std::string text(size_t from, size_t to) const;
    std::string text() const { return text(0, size()); }
    StatementText sub(size_t from, size_t to) const {
        return {tokens, {range.first + from, range.first + to}, source};
    }
};

}  // namespace standin
