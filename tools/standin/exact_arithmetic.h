#pragma once
// Arithmetic on exact numerics (decimal, numeric, money), which SQLite would
// do in doubles. Where a value is produced (a select-list item, an
// assigned or inserted expression), `a * 2 + 1` with an exact operand is
// translated into calls of standin_arith, whose results keep every digit.
// Conditions keep SQLite's own arithmetic.
#include "statement_text.h"
#include "value.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace standin {

inline constexpr const char* ArithmeticFunction = "standin_arith";

// x op y for op in + - * / %, with SQL Server's exact rules when either
// operand is exact text (an integer pair stays integer arithmetic, a
// float makes it float). Throws StatementError for division by zero (8134)
// and results beyond 38 digits (8115).
Value arithmetic(char op, const Value& x, const Value& y);

// An arithmetic run starting at token `from`: operands joined by + - * / %
// at one parenthesis level. Returns one past its last token, or `from`
// when no run of two or more operands starts there.
size_t arithmeticRunEnd(const StatementText& s, size_t from);

// Whether the run [from, to) is compared, tested or matched (its
// neighbours outside any parentheses that enclose it alone are a
// comparison or a predicate word): then it is left to SQLite.
bool runIsCompared(const StatementText& s, size_t from, size_t to);

// One past the operand (a primary with an optional sign) at k; k when none.
size_t arithmeticOperandEnd(const StatementText& s, size_t k);

// Folds the run [from, to) by precedence (* / % before + -): `operand`
// gives each operand's value from its tokens (without a sign), `negate`
// applies a unary minus, `combine` an operator.
template <class T, class Operand, class Negate, class Combine>
T foldArithmetic(const StatementText& s, size_t from, size_t to, Operand operand, Negate negate, Combine combine) {
    std::vector<T> operands;
    std::vector<char> operators;
    const auto precedence = [](char op) { return op == '+' || op == '-' ? 1 : 2; };
    const auto reduce = [&]() {
        T right = std::move(operands.back());
        operands.pop_back();
        operands.back() = combine(operators.back(), std::move(operands.back()), std::move(right));
        operators.pop_back();
    };
    for (size_t k = from;;) {
        const size_t e = arithmeticOperandEnd(s, k);
        const bool minus = s.at(k).isSymbol("-"), signed_ = minus || s.at(k).isSymbol("+");
        T value = operand(signed_ ? k + 1 : k, e);
        operands.push_back(minus ? negate(std::move(value)) : std::move(value));
        if (e >= to) break;
        const char op = s.at(e).text[0];
        while (!operators.empty() && precedence(operators.back()) >= precedence(op)) reduce();
        operators.push_back(op);
        k = e + 1;
    }
    while (!operators.empty()) reduce();
    return std::move(operands.front());
}

// The run [from, to) as nested standin_arith calls; `operand` gives the SQL
// text of each operand's tokens.
std::string translateArithmetic(const StatementText& s, size_t from, size_t to,
                                const std::function<std::string(size_t from, size_t to)>& operand);

}  // namespace standin
