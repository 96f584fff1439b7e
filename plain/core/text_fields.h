#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Fields of the text readers (OBJ, net, OFF, ASCII PLY and STL): words
// separated by blanks, and the number rules all of them apply.

// Space, tab, CR, vertical tab or form feed.
inline bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Takes the next field off the front of `rest`; false when none is left.
// Inline: the readers call it for every value of a file.
inline bool next_field(std::string_view& rest, std::string_view& field)
{
    std::size_t i = 0;
    while (i < rest.size() && is_blank(rest[i])) ++i;
    if (i == rest.size()) {
        rest = std::string_view();
        return false;
    }
    std::size_t j = i;
    while (j < rest.size() && !is_blank(rest[j])) ++j;
    field = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return true;
}

inline int count_fields(std::string_view text)
{
    int n = 0;
    std::string_view field;
    while (next_field(text, field)) ++n;
    return n;
}

// The common form "[-]digits[.digits]" with at most 19 digits in all, worth
// 2^53 at most, and at most 22 decimals: digits / 10^decimals is then one
// correctly rounded division in double. Rounded once more to float it is
// the float nearest the text, unless the double fell exactly halfway
// between two floats; that case, and every other form, is left to
// from_chars.
inline bool parse_plain_float(std::string_view field, float& value)
{
    static constexpr double powers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = field.data();
    const char* end = p + field.size();
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t digits = 0;
    int count = 0, decimals = 0;
    const char* first = p;
    while (p < end && unsigned(*p - '0') < 10 && count < 20) {
        digits = digits * 10 + unsigned(*p++ - '0');
        ++count;
    }
    if (p == first) return false;
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        while (p < end && unsigned(*p - '0') < 10 && count < 20) {
            digits = digits * 10 + unsigned(*p++ - '0');
            ++count;
        }
        decimals = int(p - fraction);
        if (decimals == 0) return false;
    }
    if (p != end || count > 19 || digits > (std::uint64_t(1) << 53) || decimals > 22) return false;
    const double d = double(digits) / powers[decimals];
    // d lies between 1e-22 and 2^53, where floats are normal: halfway
    // between two of them, the 29 mantissa bits a float drops read 1000...0.
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1fffffffu) == 0x10000000u) return false;
    const float f = float(d);
    value = negative ? -f : f;
    return true;
}

// parse_float_field for every form but the plain one.
bool parse_other_float(std::string_view field, float& value, std::string& problem);

// Reads a whole field as a float: decimal digits with an optional sign,
// point and exponent ("-1.5", "+2", ".5", "1e-5"), correctly rounded, so
// the shortest text of a float reads back to the same float. A value too
// small for a float reads as zero of its sign. False when the field is not
// such a number ("nan", "inf", "0x1p3", "2,5", "3x") or its value does not
// fit a float ("1e39"); `problem` then says which, with the field quoted.
inline bool parse_float_field(std::string_view field, float& value, std::string& problem)
{
    return parse_plain_float(field, value) || parse_other_float(field, value, problem);
}

// Reads a whole field as an integer with an optional sign.
bool parse_integer_field(std::string_view field, long long& value);
