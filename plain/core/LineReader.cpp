#include "core/LineReader.h"

#include <cstring>

LineReader::LineReader(std::string_view text)
    : start(text.data()), pos(text.data()), end(text.data() + text.size()), lf(end)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos += 3;
    if (pos < end)
        if (const void* found = std::memchr(pos, '\n', std::size_t(end - pos))) lf = static_cast<const char*>(found);
}

bool LineReader::next(std::string_view& line)
{
    if (pos >= end) return false;
    // The next LF is remembered, so a text of CR line ends is not searched
    // to its end for every line.
    if (lf < pos) {
        const void* found = std::memchr(pos, '\n', std::size_t(end - pos));
        lf = found ? static_cast<const char*>(found) : end;
    }
    const void* cr = std::memchr(pos, '\r', std::size_t(lf - pos));
    const char* stop = cr ? static_cast<const char*>(cr) : lf;
    line = std::string_view(pos, std::size_t(stop - pos));
    pos = stop + 1;
    if (cr && pos < end && *pos == '\n') ++pos;
    ++number;
    return true;
}
