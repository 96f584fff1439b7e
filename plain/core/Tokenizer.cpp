#include "core/Tokenizer.h"

#include <cctype>
#include <charconv>
#include <cmath>

Tokenizer::Tokenizer(std::string_view text) : pos(text.data()), end(text.data() + text.size())
{
    for (unsigned char& c : classes) c = 0;
    for (int c = 0; c <= 32; ++c) classes[c] |= WHITESPACE;
    for (int c = '0'; c <= '9'; ++c) classes[c] |= NUMERIC;
    classes[int('-')] |= NUMERIC;
    for (int c = 'a'; c <= 'z'; ++c) classes[c] |= WORD;
    for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= WORD;
    classes[int('_')] |= WORD;
    for (int c = 128; c <= 255; ++c) classes[c] |= WORD;
    classes[int('"')] |= QUOTE;
    classes[int('\'')] |= QUOTE;
}

void Tokenizer::skip_to_line_end()
{
    while (pos < end) {
        const char c = *pos++;
        if (c == '\n' || c == '\r') break;
    }
}

int Tokenizer::read_number(const char* first)
{
    // `first` is the number's first character, already taken.
    while (pos < end && (is(peek(), NUMERIC) || *pos == '.')) ++pos;
    // Exponent: e or E, optional sign, at least one digit.
    if (pos < end && (*pos == 'e' || *pos == 'E')) {
        std::size_t k = 1;
        if (peek_at(k) == '+' || peek_at(k) == '-') ++k;
        if (is_digit(peek_at(k))) {
            pos += k;
            while (pos < end && is_digit(peek())) ++pos;
        }
    }
    const char* text = first;
    if (*text == '+') ++text;
    double value = 0.0;
    const auto result = std::from_chars(text, pos, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Keep the sign and magnitude class the decimal conversion would give.
        value = (*text == '-') ? -HUGE_VAL : HUGE_VAL;
        const char* p = text;
        if (*p == '-') ++p;
        bool tiny = false;
        for (const char* q = p; q < pos; ++q)
            if (*q == 'e' || *q == 'E') {
                tiny = q[1] == '-';
                break;
            }
        if (tiny) value = (*text == '-') ? -0.0 : 0.0;
    }
    number_value = value;
    token_type = TT_NUMBER;
    return TT_NUMBER;
}

int Tokenizer::read_token()
{
    if (repeat_token) {
        repeat_token = false;
        return token_type;
    }
    if (pos >= end) return TT_EOF;
    int c = static_cast<unsigned char>(*pos++);

    while (is(c, WHITESPACE)) {
        if (c == '\n') {
            ++line;
            if (line_ends_significant) {
                token_type = TT_EOL;
                return TT_EOL;
            }
        }
        if (pos >= end) return TT_EOF;
        c = static_cast<unsigned char>(*pos++);
    }

    const char* first = pos - 1;
    const int next = peek();
    const bool dot_digit = next == '.' && is_digit(peek_at(1));
    if (is(c, NUMERIC) || c == '+' || (c == '.' && is_digit(next))) {
        if (c == '-' || c == '+') {
            // A sign starts a number only before a digit or ".digit".
            if (!(is_digit(next) || dot_digit)) {
                token_type = c;
                return c;
            }
        }
        return read_number(first);
    }

    if (is(c, WORD)) {
        while (pos < end && is(peek(), WORD)) ++pos;
        word_text.assign(first, pos);
        if (fold_case)
            for (char& ch : word_text) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        token_type = TT_WORD;
        return TT_WORD;
    }

    if (is(c, COMMENT)) {
        skip_to_line_end();
        return read_token();
    }

    if (is(c, QUOTE)) {
        const char* text = pos;
        while (pos < end && *pos != c && *pos != '\n' && *pos != '\r') ++pos;
        word_text.assign(text, pos);
        if (pos < end) ++pos;  // the closing quote or line end is taken, not kept
        token_type = TT_QUOTED;
        return TT_QUOTED;
    }

    if (c == '#' && hash_comments) {
        skip_to_line_end();
        ++line;
        return read_token();
    }

    token_type = c;
    return c;
}
