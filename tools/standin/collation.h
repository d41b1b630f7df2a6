#pragma once
// The collations the stand-in knows: the code page that varchar, char and
// text columns hold, the case rule of comparisons, and the five bytes that
// describe a collation on the wire. Every database has one (Chinese_PRC_CI_AS
// unless CREATE DATABASE ... COLLATE names another); a column may name its own.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace standin {

struct Collation {
    const char* name;  // as SQL Server spells it; also its SQLite collating sequence
    uint32_t info;     // LCID and comparison flags, as the wire carries them
    uint8_t sortId;    // SQL collations' sort order; 0 for Windows collations
    int codePage;      // of non-Unicode text
    bool ignoreCase;
    bool binary;  // code point order, no folding at all

    // The five bytes of a TDS collation (COLMETADATA, ENVCHANGE).
    std::string wireBytes() const;
};

// Chinese_PRC_CI_AS: the server's default.
const Collation& defaultCollation();
// The collation called `name` (ignoring case), if the stand-in knows it.
const Collation* findCollation(std::string_view name);
// Every collation the stand-in knows.
std::span<const Collation> knownCollations();

// -1, 0 or 1 as UTF-8 texts a and b compare under `c`: trailing blanks never
// count, nor full-width against ordinary ASCII forms (except in a binary
// collation); under a case-insensitive collation letter case does not
// either (Latin, Greek and Cyrillic letters alike).
int compareText(const Collation& c, std::string_view a, std::string_view b);

// `text` with each character folded as `c` compares it (for LIKE and
// CHARINDEX).
std::u32string foldForComparison(const Collation& c, std::string_view utf8);

}  // namespace standin
