#include "core/TextFile.h"

#include <charconv>
#include <cstdio>

bool read_text_file(const std::string& path, std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    text.clear();
    bool ok = true;
    // A regular file is read in one piece straight into the string; the
    // loop below takes whatever is left (a file that grew, a pipe).
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        std::rewind(f);
        if (size > 0) {
            text.resize(std::size_t(size));
            text.resize(std::fread(text.data(), 1, text.size(), f));
        }
    }
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, f);
        text.append(buffer, got);
        if (got < sizeof buffer) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    return ok;
}

void append_float(std::string& out, float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string float_text(float value)
{
    std::string s;
    append_float(s, value);
    return s;
}
