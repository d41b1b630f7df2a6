#include "like_match.h"

#include <vector>

namespace standin {
namespace {

struct Element {
    enum class Kind { AnyRun, AnyOne, Set, Exact } kind = Kind::Exact;
    char32_t c = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // of a set

    bool matches(char32_t x) const {
        switch (kind) {
        case Kind::AnyOne: return true;
        case Kind::Exact: return x == c;
        case Kind::Set: {
            bool in = false;
            for (auto [lo, hi] : ranges) in = in || (x >= lo && x <= hi);
            return in != negated;
        }
        case Kind::AnyRun: return false;
        }
        return false;
    }
};

std::vector<Element> compile(const std::u32string& p, std::optional<char32_t> escape) {
    std::vector<Element> out;
    for (size_t i = 0; i < p.size(); ++i) {
        Element e;
        const char32_t c = p[i];
        if (escape && c == *escape && i + 1 < p.size()) {
            e.c = p[++i];
        } else if (c == U'%') {
            e.kind = Element::Kind::AnyRun;
        } else if (c == U'_') {
            e.kind = Element::Kind::AnyOne;
        } else if (c == U'[' && p.find(U']', i + 1) != std::u32string::npos) {
            // [set]: a ']' right after '[' or '[^' belongs to the set.
            const size_t close = p.find(U']', i + 2 + (i + 1 < p.size() && p[i + 1] == U'^' ? 1 : 0));
            if (close == std::u32string::npos) {
                e.c = c;
            } else {
                e.kind = Element::Kind::Set;
                size_t k = i + 1;
                if (p[k] == U'^') {
                    e.negated = true;
                    ++k;
                }
                for (; k < close; ++k) {
                    if (k + 2 < close && p[k + 1] == U'-') {
                        e.ranges.emplace_back(p[k], p[k + 2]);
                        k += 2;
                    } else {
                        e.ranges.emplace_back(p[k], p[k]);
                    }
                }
                i = close;
            }
        } else {
            e.c = c;
        }
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace

bool likeMatches(const std::u32string& text, const std::u32string& pattern, std::optional<char32_t> escape) {
    const std::vector<Element> p = compile(pattern, escape);
    // Greedy matching that returns to the last % when a match fails.
    size_t t = 0, k = 0;
    std::optional<size_t> star, starText;
    while (t < text.size()) {
        if (k < p.size() && p[k].kind == Element::Kind::AnyRun) {
            star = k++;
            starText = t;
        } else if (k < p.size() && p[k].matches(text[t])) {
            ++k;
            ++t;
        } else if (star) {
            k = *star + 1;
            t = ++*starText;
        } else {
            return false;
        }
    }
    while (k < p.size() && p[k].kind == Element::Kind::AnyRun) ++k;
    return k == p.size();
}

}  // namespace standin
