#include "core/Numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

namespace tw {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t SkipSpace(std::string_view s, size_t i)
{
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    return i;
}

// Only white space from `i` to the end.
bool OnlySpaceFrom(std::string_view s, size_t i)
{
    return SkipSpace(s, i) == s.size();
}

template <class T>
T Clamp(long long value)
{
    return static_cast<T>(std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

} // namespace

NumberRead ReadInteger(const NumberText& text, long long& value, size_t* end)
{
    const std::string_view s = text.View();
    size_t i = SkipSpace(s, 0);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : static_cast<unsigned long long>(LLONG_MAX);
    const size_t first = i;
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        const unsigned digit = static_cast<unsigned>(s[i] - '0');
        if (overflow)
            continue;
        if (magnitude > (limit - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (i == first) {
        if (end)
            *end = 0;
        return NumberRead::None;
    }
    if (end)
        *end = i;
    if (overflow) {
        value = negative ? LLONG_MIN : LLONG_MAX;
        return NumberRead::OutOfRange;
    }
    if (!negative)
        value = static_cast<long long>(magnitude);
    else if (magnitude == limit)
        value = LLONG_MIN;
    else
        value = -static_cast<long long>(magnitude);
    return NumberRead::Ok;
}

NumberRead ReadReal(const NumberText& text, double& value, size_t* end, RealForm form)
{
    const std::string_view s = text.View();
    size_t i = SkipSpace(s, 0);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const size_t unsignedStart = i;

    // Where the first digit that is not 0 stands relative to the point, for
    // telling a number too large from one too small.
    long long scale = 0;
    bool nonZero = false;
    size_t digits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
        if (nonZero)
            ++scale;
        else if (s[i] != '0')
            nonZero = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) {
            if (!nonZero) {
                --scale;
                if (s[i] != '0')
                    nonZero = true;
            }
        }
    }
    if (digits == 0) {
        if (end)
            *end = 0;
        return NumberRead::None;
    }
    if (form == RealForm::General && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            long long exponent = 0;
            for (; j < s.size() && IsDigit(s[j]); ++j)
                exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1000000);
            scale += expNegative ? -exponent : exponent;
            i = j;
        }
    }
    if (end)
        *end = i;

    double parsed = 0.0;
    const char* first = s.data() + unsignedStart;
    const char* last = s.data() + i;
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec == std::errc() && result.ptr == last) {
        value = negative ? -parsed : parsed;
        return NumberRead::Ok;
    }
    if (scale >= 0) {
        value = negative ? -DBL_MAX : DBL_MAX;
        return NumberRead::OutOfRange;
    }
    value = negative ? -0.0 : 0.0;
    return NumberRead::Ok;
}

namespace {

// The integer the text starts with, clamped to T.
template <class T>
bool LeadingInteger(const NumberText& text, T& value)
{
    long long v = 0;
    if (ReadInteger(text, v) == NumberRead::None)
        return false;
    value = Clamp<T>(v);
    return true;
}

// The whole text as an integer that fits T.
template <class T>
bool WholeInteger(const NumberText& text, T& value)
{
    long long v = 0;
    size_t end = 0;
    if (ReadInteger(text, v, &end) != NumberRead::Ok || !OnlySpaceFrom(text.View(), end)
        || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        return false;
    value = static_cast<T>(v);
    return true;
}

} // namespace

bool LeadingInt(const NumberText& text, int& value)
{
    return LeadingInteger(text, value);
}

bool LeadingLong(const NumberText& text, long& value)
{
    return LeadingInteger(text, value);
}

bool LeadingDouble(const NumberText& text, double& value, RealForm form)
{
    double v = 0.0;
    if (ReadReal(text, v, nullptr, form) != NumberRead::Ok)
        return false;
    value = v;
    return true;
}

int LeadingInt(const NumberText& text)
{
    int value = 0;
    LeadingInteger(text, value);
    return value;
}

long LeadingLong(const NumberText& text)
{
    long value = 0;
    LeadingInteger(text, value);
    return value;
}

double LeadingDouble(const NumberText& text)
{
    double value = 0.0;
    LeadingDouble(text, value);
    return value;
}

bool ParseInt(const NumberText& text, int& value)
{
    return WholeInteger(text, value);
}

bool ParseLong(const NumberText& text, long& value)
{
    return WholeInteger(text, value);
}

bool ParseDouble(const NumberText& text, double& value)
{
    double v = 0.0;
    size_t end = 0;
    if (ReadReal(text, v, &end) != NumberRead::Ok || !OnlySpaceFrom(text.View(), end))
        return false;
    value = v;
    return true;
}

wxString FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    decimals = std::clamp(decimals, 0, 60);
    // Large enough for any double in fixed notation.
    char buf[std::numeric_limits<double>::max_exponent10 + 64 + 60];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc())
        return wxS("0");
    return wxString::FromAscii(buf, static_cast<size_t>(res.ptr - buf));
}

wxString FormatG(double value)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    if (res.ec != std::errc())
        return wxS("0");
    return wxString::FromAscii(buf, static_cast<size_t>(res.ptr - buf));
}

} // namespace tw
