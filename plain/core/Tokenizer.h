#pragma once

#include <string>
#include <string_view>

// Character-class tokenizer over a text held in memory (the caller keeps the
// text alive). Used by the OBJ reader and the colour map and morphogen
// readers, all with the default settings.
//
// Numbers begin with a digit, "-", "+" or a "." followed by a digit, take
// the following digits, "-" and ".", and an exponent part ("e" or "E",
// optional sign, digits) right after them; the value is the longest valid
// prefix of that text ("1-2" reads 1, "1.2.3" reads 1.2). A lone "-" or "+"
// is returned as that character. Digits end a word: "mat1" is the word
// "mat" then the number 1.
class Tokenizer {
public:
    enum : int { TT_EOF = -1, TT_NUMBER = -2, TT_WORD = -3, TT_QUOTED = -4, TT_EOL = 10 };
    enum : unsigned char { WHITESPACE = 1, NUMERIC = 2, WORD = 4, QUOTE = 8, COMMENT = 16 };

    explicit Tokenizer(std::string_view text);

    int read_token();
    bool at_end() const { return pos >= end; }
    // Points the tokenizer at another piece of text (readers that work line
    // by line reuse one tokenizer); settings and `line` are kept.
    void set_text(const char* first, const char* last)
    {
        pos = first;
        end = last;
        repeat_token = false;
    }

    unsigned char classes[256];
    bool line_ends_significant = false;
    int line = 0;
    bool fold_case = false;
    bool repeat_token = false;
    bool hash_comments = true;
    int token_type = 0;
    double number_value = 0.0;
    std::string word_text;

private:
    int peek() const { return pos < end ? static_cast<unsigned char>(*pos) : -1; }
    int peek_at(std::size_t k) const { return pos + k < end ? static_cast<unsigned char>(pos[k]) : -1; }
    bool is(int c, unsigned char cls) const { return c >= 0 && (classes[c] & cls); }
    bool is_digit(int c) const { return c >= '0' && c <= '9'; }
    int read_number(const char* first);
    void skip_to_line_end();

    const char* pos;
    const char* end;
};
