#pragma once
// How CONVERT(varchar, value, style) and CAST(value AS varchar) write dates,
// floats and money as text. CAST uses style 0.
#include "date_literal.h"
#include "numeric_text.h"
#include "session_language.h"

#include <optional>
#include <string>

namespace standin {

// Style 0/100 'Feb  3 2001  4:05AM', 1/101 mm/dd/yy[yy], 2/102 yy[yy].mm.dd,
// 3/103 dd/mm/yy[yy], 4/104 dd.mm.yy[yy], 5/105 dd-mm-yy[yy], 8/108
// hh:mi:ss, 10/110 mm-dd-yy[yy], 11/111 yy[yy]/mm/dd, 12/112 yy[yy]mmdd,
// 20/120 yyyy-mm-dd hh:mi:ss, 21/121 the same with .mmm, 23 yyyy-mm-dd,
// 126 ISO 8601 with 'T'. A date alone writes only its date part, and as
// yyyy-mm-dd where datetime would write the default style. Nothing for
// other styles.
std::optional<std::string> formatDateStyle(const DateTimeParts& p, DateKind kind, int style, const Language& language);

// float: style 0 six significant digits ('1.23457e+006' beyond), 1 eight,
// 2 sixteen in scientific notation, 3 seventeen (round trip).
std::optional<std::string> formatFloatStyle(double v, int style);

// money: style 0 two decimals, 1 two decimals with thousands commas, 2 and
// 126 four decimals. `mantissa` holds ten-thousandths.
std::optional<std::string> formatMoneyStyle(Int128 mantissa, int style);

}  // namespace standin
