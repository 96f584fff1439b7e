#include "core/text_fields.h"

#include <charconv>
#include <cmath>

namespace {

// Whether a number that the float conversion found out of range is too
// small (true) rather than too large: by its value as a double where that
// fits, else by a negative exponent, or no digit but 0 before the point.
bool too_small(std::string_view digits)
{
    double d = 0.0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), d);
    if (r.ec == std::errc()) return std::fabs(d) < 1.0;
    const std::size_t e = digits.find_first_of("eE");
    if (e != std::string_view::npos) {
        const std::string_view tail = digits.substr(e + 1);
        return !tail.empty() && tail[0] == '-';
    }
    for (const char c : digits) {
        if (c == '.') return true;
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

}  // namespace

bool parse_other_float(std::string_view field, float& value, std::string& problem)
{
    std::string_view digits = field;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') digits.remove_prefix(1);
    // Only the decimal form: from_chars would also take "inf", "nan" and
    // hexadecimal mantissas.
    const bool decimal = !digits.empty() && digits.find_first_not_of("0123456789.eE+-") == std::string_view::npos;
    const char* last = digits.data() + digits.size();
    float v = 0.0f;
    const auto r = decimal ? std::from_chars(digits.data(), last, v)
                           : std::from_chars_result{digits.data(), std::errc::invalid_argument};
    if (r.ptr == last && r.ec == std::errc()) {
        value = v;
        return true;
    }
    if (r.ptr == last && r.ec == std::errc::result_out_of_range) {
        if (too_small(digits)) {
            value = digits[0] == '-' ? -0.0f : 0.0f;
            return true;
        }
        problem = "\"" + std::string(field) + "\" does not fit a float";
        return false;
    }
    problem = "\"" + std::string(field) + "\" is not a number";
    return false;
}

bool parse_integer_field(std::string_view field, long long& value)
{
    if (field.size() > 1 && field[0] == '+' && field[1] != '-' && field[1] != '+') field.remove_prefix(1);
    const char* last = field.data() + field.size();
    const auto r = std::from_chars(field.data(), last, value);
    return !field.empty() && r.ec == std::errc() && r.ptr == last;
}
