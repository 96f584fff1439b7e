#include "core/LineReader.h"

#include <cstring>

LineReader::LineReader(std::string_view text, bool hash_comments)
    : pos(text.data()), end(text.data() + text.size()), comments(hash_comments)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos += 3;
    lf = find('\n');
    cr = find('\r');
    hash = comments ? find('#') : end;
}

const char* LineReader::find(char c) const
{
    if (pos >= end) return end;
    const void* found = std::memchr(pos, c, std::size_t(end - pos));
    return found ? static_cast<const char*>(found) : end;
}

bool LineReader::next(std::string_view& line)
{
    if (pos >= end) return false;
    if (lf < pos) lf = find('\n');
    if (cr < pos) cr = find('\r');
    if (hash < pos) hash = find('#');
    const char* stop = cr < lf ? cr : lf;
    const char* cut = comments && hash < stop ? hash : stop;
    line = std::string_view(pos, std::size_t(cut - pos));
    pos = stop < end ? stop + 1 : end;
    if (stop == cr && pos < end && *pos == '\n') ++pos;
    ++number;
    return true;
}
