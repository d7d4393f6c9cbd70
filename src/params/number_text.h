#pragma once

#include <cstddef>
#include <string>

namespace tvx {

// Number <-> text conversions that never consult the process locale: a host
// may run with a comma as decimal separator, but preset files, chunks,
// settings and display texts always use the C conventions.

// printf "%.<decimals>f" of value (decimals 0..17).
std::string formatFixed(double value, int decimals);

// printf "%.<digits>g" of value, the default formatting of a C++ stream.
std::string formatGeneral(double value, int significantDigits = 6);

// wcstod in the C locale over [begin, end): leading white space skipped, the
// longest valid prefix converted (decimal, hexadecimal "0x", "inf", "nan"),
// 0 when there is no number. Overflow gives +-HUGE_VAL, underflow 0. Runs in
// time linear in the length of the prefix.
double parseDecimal(const wchar_t* begin, const wchar_t* end);

// wcstol with base 0 in the C locale over [begin, end): white space, sign,
// "0x"/"0X" hexadecimal, leading "0" octal, stop at the first character that
// does not fit; 0 without digits. Saturates at the int range.
int parseInteger(const wchar_t* begin, const wchar_t* end);

inline double parseDecimal(const std::wstring& text) { return parseDecimal(text.data(), text.data() + text.size()); }
inline int parseInteger(const std::wstring& text) { return parseInteger(text.data(), text.data() + text.size()); }

}  // namespace tvx
