#pragma once

#include <string_view>

// The lines of a text held in memory, as the text readers take them: a line
// ends at LF, CR LF or a CR alone; a UTF-8 byte-order mark at the start is
// skipped; the last line counts whether or not it has a line end.
class LineReader {
public:
    explicit LineReader(std::string_view text);

    // The next line without its line end; false at the end of the text.
    bool next(std::string_view& line);
    // Where the next line starts, from the start of the text.
    std::size_t offset() const { return std::size_t(pos - start); }

    int number = 0;  // the line last returned, from 1

private:
    const char* start;
    const char* pos;
    const char* end;
    const char* lf;  // the next LF at or after pos, or end; stale while below pos
};
