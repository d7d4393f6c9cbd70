#include "params/number_text.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tvx {

namespace {

// The C locale's white-space set, independent of the process locale.
bool isCSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isHexDigit(wchar_t c) { return isDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }
bool isAlnum(wchar_t c) { return isDigit(c) || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

wchar_t toLowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool startsWithNoCase(const wchar_t* p, const wchar_t* end, const char* word) {
    for (; *word; ++word, ++p)
        if (p >= end || toLowerAscii(*p) != static_cast<wchar_t>(*word)) return false;
    return true;
}

int digitValue(wchar_t c) {
    if (isDigit(c)) return c - L'0';
    c = toLowerAscii(c);
    if (c >= L'a' && c <= L'z') return c - L'a' + 10;
    return 99;
}

// The characters scanned here are all ASCII, so narrowing is a plain copy.
std::string narrow(const wchar_t* begin, const wchar_t* end) {
    std::string text;
    text.reserve(static_cast<size_t>(end - begin));
    for (const wchar_t* p = begin; p < end; ++p) text.push_back(static_cast<char>(*p));
    return text;
}

// Skips "[+-]digits" after an exponent letter; returns `p` when no digit follows.
const wchar_t* scanExponent(const wchar_t* p, const wchar_t* end, long long& exponent) {
    const wchar_t* q = p;
    bool negative = false;
    if (q < end && (*q == L'+' || *q == L'-')) negative = (*q++ == L'-');
    if (q >= end || !isDigit(*q)) return p;
    long long value = 0;
    for (; q < end && isDigit(*q); ++q)
        if (value < 1000000000LL) value = value * 10 + (*q - L'0');
    exponent = negative ? -value : value;
    return q;
}

double signedValue(bool negative, double value) { return negative ? -value : value; }

double outOfRangeValue(bool negative, long long magnitude) {
    return signedValue(negative, magnitude > 0 ? HUGE_VAL : 0.0);
}

double parseHex(const wchar_t* p, const wchar_t* end, bool negative) {
    // p points just after "0x"; without a hex digit only the "0" counts.
    const wchar_t* q = p;
    bool anyDigit = false;
    while (q < end && isHexDigit(*q)) ++q, anyDigit = true;
    if (q < end && *q == L'.') {
        ++q;
        while (q < end && isHexDigit(*q)) ++q, anyDigit = true;
    }
    if (!anyDigit) return signedValue(negative, 0.0);
    long long exponent = 0;
    if (q < end && (*q == L'p' || *q == L'P')) q = scanExponent(q + 1, end, exponent);
    std::string text = narrow(p, q);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::hex);
    if (result.ec == std::errc::result_out_of_range) return outOfRangeValue(negative, exponent);
    return signedValue(negative, value);
}

}  // namespace

std::string formatFixed(double value, int decimals) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "?";
    return std::string(buffer, result.ptr);
}

std::string formatGeneral(double value, int significantDigits) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    if (result.ec != std::errc()) return "?";
    return std::string(buffer, result.ptr);
}

double parseDecimal(const wchar_t* begin, const wchar_t* end) {
    const wchar_t* p = begin;
    while (p < end && isCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == L'+' || *p == L'-')) negative = (*p++ == L'-');

    if (end - p >= 2 && p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) return parseHex(p + 2, end, negative);
    if (startsWithNoCase(p, end, "inf")) return signedValue(negative, std::numeric_limits<double>::infinity());
    if (startsWithNoCase(p, end, "nan")) return signedValue(negative, std::numeric_limits<double>::quiet_NaN());

    // Decimal: digits [. digits] [e [sign] digits]. The rough decimal
    // magnitude tells overflow from underflow when the value is out of range.
    const wchar_t* start = p;
    long long magnitude = 0;
    bool anyDigit = false, nonZeroSeen = false;
    for (; p < end && isDigit(*p); ++p) {
        anyDigit = true;
        if (*p != L'0') nonZeroSeen = true;
        if (nonZeroSeen && magnitude < 1000000000LL) ++magnitude;
    }
    if (p < end && *p == L'.') {
        ++p;
        for (; p < end && isDigit(*p); ++p) {
            anyDigit = true;
            if (!nonZeroSeen && *p == L'0' && magnitude > -1000000000LL) --magnitude;
            if (*p != L'0') nonZeroSeen = true;
        }
    }
    if (!anyDigit) return 0.0;
    long long exponent = 0;
    if (p < end && (*p == L'e' || *p == L'E')) p = scanExponent(p + 1, end, exponent);
    std::string text = narrow(start, p);
    double value = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) return outOfRangeValue(negative, magnitude + exponent);
    if (result.ec != std::errc()) return 0.0;
    return signedValue(negative, value);
}

int parseInteger(const wchar_t* begin, const wchar_t* end) {
    const wchar_t* p = begin;
    while (p < end && isCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == L'+' || *p == L'-')) negative = (*p++ == L'-');
    int base = 10;
    if (end - p >= 3 && p[0] == L'0' && (p[1] == L'x' || p[1] == L'X') && isHexDigit(p[2])) {
        base = 16;
        p += 2;
    } else if (p < end && *p == L'0') {
        base = 8;
    }
    // Saturate just beyond the int range so both ends clamp correctly.
    const std::int64_t limit = static_cast<std::int64_t>(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    for (; p < end && isAlnum(*p) && digitValue(*p) < base; ++p) {
        magnitude = magnitude * base + digitValue(*p);
        if (magnitude > limit) magnitude = limit;
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace tvx
