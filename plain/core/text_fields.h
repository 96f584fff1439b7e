#pragma once

#include <string>
#include <string_view>

// Fields of the text readers (OBJ, net, OFF, ASCII PLY and STL): words
// separated by blanks, and the number rules all of them apply.

// Space, tab, CR, vertical tab or form feed.
inline bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The text before a "#" comment.
std::string_view before_comment(std::string_view line);
// Takes the next field off the front of `rest`; false when none is left.
bool next_field(std::string_view& rest, std::string_view& field);
int count_fields(std::string_view text);

// Reads a whole field as a float: decimal digits with an optional sign,
// point and exponent ("-1.5", "+2", ".5", "1e-5"), correctly rounded, so
// the shortest text of a float reads back to the same float. A value too
// small for a float reads as zero of its sign. False when the field is not
// such a number ("nan", "inf", "0x1p3", "2,5", "3x") or its value does not
// fit a float ("1e39"); `problem` then says which, with the field quoted.
bool parse_float_field(std::string_view field, float& value, std::string& problem);
// Reads a whole field as an integer with an optional sign.
bool parse_integer_field(std::string_view field, long long& value);
