#include "exact_arithmetic.h"

#include "numeric_text.h"
#include "sql_error.h"
#include "sqlite_db.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace standin {
namespace {

bool isArithmeticOperator(const Token& t) {
    return t.kind == TokenKind::Symbol &&
           (t.text == "+" || t.text == "-" || t.text == "*" || t.text == "/" || t.text == "%");
}

bool isComparison(const Token& t) {
    if (t.kind != TokenKind::Symbol) return false;
    return t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" || t.text == "<=" ||
           t.text == ">=" || t.text == "!<" || t.text == "!>";
}

// One past a primary at k: a literal, a @@value, a name chain with an
// optional call, a parenthesised group or CASE ... END; k when none.
size_t primaryEnd(const StatementText& s, size_t k) {
    if (!s.has(k)) return k;
    const Token& t = s.at(k);
    if (t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::Binary ||
        t.kind == TokenKind::Variable) {
        return k + 1;
    }
    if (t.isSymbol("(")) return matchingParen(s, k) + 1;
    if (t.is("case")) {
        int depth = 0;
        for (size_t j = k; s.has(j); ++j) {
            if (s.at(j).is("case")) ++depth;
            if (s.at(j).is("end") && --depth == 0) return j + 1;
        }
        return k;
    }
    if (!t.isName() || (t.kind == TokenKind::Word && isReservedWord(t.text))) return k;
    size_t j = k + 1;
    while (s.has(j + 1) && s.at(j).isSymbol(".") && s.at(j + 1).isName()) j += 2;
    if (s.has(j) && s.at(j).isSymbol("(")) j = matchingParen(s, j) + 1;
    return j;
}

// One past an operand at k: a primary with an optional sign.
size_t operandEnd(const StatementText& s, size_t k) {
    if (s.has(k) && (s.at(k).isSymbol("-") || s.at(k).isSymbol("+"))) {
        const size_t e = primaryEnd(s, k + 1);
        return e == k + 1 ? k : e;
    }
    return primaryEnd(s, k);
}

// Exact operands: integers (and exact text) on both sides, no floats.
struct Exact {
    bool real = false;
    bool integer = true;  // both integers: T-SQL integer arithmetic
    double r = 0;
    DecimalNumber d;
};

std::optional<Exact> exactOf(const Value& v) {
    Exact e;
    switch (v.kind) {
    case Value::Kind::Integer:
        e.d.mantissa = v.i;
        e.r = static_cast<double>(v.i);
        return e;
    case Value::Kind::Real:
        e.real = true;
        e.integer = false;
        e.r = v.r;
        return e;
    case Value::Kind::Text:
    case Value::Kind::Blob: {
        e.integer = false;
        if (auto d = parseDecimalText(v.s)) {
            e.d = *d;
            e.r = static_cast<double>(d->mantissa) / static_cast<double>(powerOfTen(d->scale));
            return e;
        }
        if (auto f = parseFloatText(v.s)) {
            e.real = true;
            e.r = *f;
            return e;
        }
        return std::nullopt;
    }
    case Value::Kind::Null: return std::nullopt;
    }
    return std::nullopt;
}

[[noreturn]] void overflow() { fail(8115, "Arithmetic overflow error converting expression to data type numeric."); }

// Keeps at most 38 digits, giving up fraction digits (down to six) first.
DecimalNumber fitTo38(DecimalNumber d) {
    while (digitCount(d.mantissa) > 38 && d.scale > 6) {
        d.mantissa = rescale(d, d.scale - 1);
        --d.scale;
    }
    if (digitCount(d.mantissa) > 38) overflow();
    return d;
}

bool fitsMultiply(Int128 a, Int128 b) {
    const int digits = digitCount(a) + digitCount(b);
    return digits <= 38;
}

Value resultOf(const DecimalNumber& d) {
    if (d.scale == 0 && d.mantissa >= INT64_MIN && d.mantissa <= INT64_MAX)
        return Value::integer(static_cast<int64_t>(d.mantissa));
    return Value::text(formatDecimal(d.mantissa, d.scale));
}

}  // namespace

Value arithmetic(char op, const Value& x, const Value& y) {
    const auto a = exactOf(x), b = exactOf(y);
    if (!a || !b) return Value::null();
    const bool divides = op == '/' || op == '%';
    if (divides && (b->real ? b->r == 0 : b->d.mantissa == 0)) fail(8134, "Divide by zero error encountered.");
    if (a->real || b->real) {
        switch (op) {
        case '+': return Value::real(a->r + b->r);
        case '-': return Value::real(a->r - b->r);
        case '*': return Value::real(a->r * b->r);
        case '/': return Value::real(a->r / b->r);
        default: return Value::real(std::fmod(a->r, b->r));
        }
    }
    const DecimalNumber& p = a->d;
    const DecimalNumber& q = b->d;
    if (a->integer && b->integer) {
        // int with int stays int; T-SQL divides them as integers.
        int64_t out = 0;
        const int64_t u = static_cast<int64_t>(p.mantissa), v = static_cast<int64_t>(q.mantissa);
        bool over = false;
        switch (op) {
        case '+': over = __builtin_add_overflow(u, v, &out); break;
        case '-': over = __builtin_sub_overflow(u, v, &out); break;
        case '*': over = __builtin_mul_overflow(u, v, &out); break;
        case '/':
            over = u == INT64_MIN && v == -1;
            out = over ? 0 : u / v;
            break;
        default: out = v == -1 ? 0 : u % v; break;
        }
        if (over) fail(8115, "Arithmetic overflow error converting expression to data type bigint.");
        return Value::integer(out);
    }
    DecimalNumber r;
    switch (op) {
    case '+':
    case '-': {
        r.scale = std::max(p.scale, q.scale);
        if (digitCount(p.mantissa) + r.scale - p.scale > 38 || digitCount(q.mantissa) + r.scale - q.scale > 38)
            overflow();
        const Int128 u = rescale(p, r.scale), v = rescale(q, r.scale);
        r.mantissa = op == '+' ? u + v : u - v;
        break;
    }
    case '*': {
        if (!fitsMultiply(p.mantissa, q.mantissa)) {
            // Too many digits for 128 bits: give up fraction digits first.
            DecimalNumber a2 = p, b2 = q;
            while (!fitsMultiply(a2.mantissa, b2.mantissa) && (a2.scale > 0 || b2.scale > 0)) {
                DecimalNumber& shorter = a2.scale >= b2.scale ? a2 : b2;
                shorter.mantissa = rescale(shorter, shorter.scale - 1);
                --shorter.scale;
            }
            if (!fitsMultiply(a2.mantissa, b2.mantissa)) overflow();
            r = DecimalNumber{a2.mantissa * b2.mantissa, a2.scale + b2.scale};
        } else {
            r = DecimalNumber{p.mantissa * q.mantissa, p.scale + q.scale};
        }
        break;
    }
    default: {
        // SQL Server's quotient scale: max(6, s1 + p2 + 1), here within 38 digits.
        const int want = std::max(6, p.scale + digitCount(q.mantissa) + 1);
        const int shift = want - p.scale + q.scale;  // digits to add to the dividend
        const int room = 38 - digitCount(p.mantissa);
        const int used = std::min(shift, std::max(room, 0));
        const Int128 dividend = p.mantissa * powerOfTen(used);
        if (op == '%') {
            const int scale = std::max(p.scale, q.scale);
            const Int128 u = rescale(p, scale), v = rescale(q, scale);
            r = DecimalNumber{u % v, scale};
            break;
        }
        // dividend / q.mantissa has scale p.scale + used - q.scale.
        const Int128 quotient = dividend / q.mantissa;
        const Int128 rest = dividend % q.mantissa;
        r = DecimalNumber{quotient, p.scale + used - q.scale};
        if ((rest < 0 ? -rest : rest) * 2 >= (q.mantissa < 0 ? -q.mantissa : q.mantissa)) {
            r.mantissa += (dividend < 0) != (q.mantissa < 0) ? -1 : 1;
        }
        if (r.scale < 0) {
            r.mantissa *= powerOfTen(-r.scale);
            r.scale = 0;
        }
        break;
    }
    }
    return resultOf(fitTo38(r));
}

size_t arithmeticRunEnd(const StatementText& s, size_t from) {
    size_t k = operandEnd(s, from);
    if (k == from) return from;
    int operands = 1;
    while (s.has(k) && isArithmeticOperator(s.at(k))) {
        const size_t e = operandEnd(s, k + 1);
        if (e == k + 1) break;
        k = e;
        ++operands;
    }
    return operands >= 2 ? k : from;
}

bool runIsCompared(const StatementText& s, size_t from, size_t to) {
    // Parentheses around the run alone (not a call's) do not change its role.
    while (from > 0 && s.has(to) && s.at(from - 1).isSymbol("(") && s.at(to).isSymbol(")") &&
           matchingParen(s, from - 1) == to && !(from >= 2 && s.at(from - 2).isName())) {
        --from;
        ++to;
    }
    if (from > 0) {
        const Token& before = s.at(from - 1);
        if (isComparison(before) || before.is("between") || before.is("and") || before.is("or") || before.is("not") ||
            before.is("when") || before.is("where") || before.is("having") || before.is("on")) {
            return true;
        }
        if (before.isSymbol("(") && from >= 2 && s.at(from - 2).is("in")) return true;
    }
    if (s.has(to)) {
        const Token& after = s.at(to);
        if (isComparison(after) || after.is("between") || after.is("in") || after.is("like") || after.is("is") ||
            after.is("not")) {
            return true;
        }
    }
    return false;
}

size_t arithmeticOperandEnd(const StatementText& s, size_t k) { return operandEnd(s, k); }

std::string translateArithmetic(const StatementText& s, size_t from, size_t to,
                                const std::function<std::string(size_t, size_t)>& operand) {
    const auto call = [](char op, const std::string& a, const std::string& b) {
        return std::string(ArithmeticFunction) + "('" + op + "', " + a + ", " + b + ")";
    };
    return foldArithmetic<std::string>(
        s, from, to, operand, [&](std::string v) { return call('-', "0", v); },
        [&](char op, std::string a, std::string b) { return call(op, a, b); });
}

}  // namespace standin
