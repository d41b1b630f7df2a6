#include "statement_text.h"

namespace standin {

std::string StatementText::text(size_t from, size_t to) const {
    if (from >= to || from >= size()) return {};
    to = std::min(to, size());
    const size_t b = at(from).begin;
    const size_t e = at(to - 1).end;
    return std::string(source.substr(b, e - b));
}

}  // namespace standin
