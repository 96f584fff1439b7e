#pragma once

#include <string_view>

// The lines of a text held in memory, as the text readers take them: a line
// ends at LF, CR LF or a CR alone; a UTF-8 byte-order mark at the start is
// skipped; the last line counts whether or not it has a line end. With
// `hash_comments`, a "#" and the rest of its line are left out.
class LineReader {
public:
    explicit LineReader(std::string_view text, bool hash_comments = false);

    // The next line without its line end (and comment); false at the end
    // of the text.
    bool next(std::string_view& line);

    int number = 0;  // the line last returned, from 1

private:
    // The next `c` at or after pos, or end.
    const char* find(char c) const;

    const char* pos;
    const char* end;
    bool comments;
    // The next LF, CR and "#" at or after pos (or end), found once and
    // kept until passed, so no line is searched more than once for each.
    const char* lf;
    const char* cr;
    const char* hash;
};
