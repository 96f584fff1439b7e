#include "core/format_text.h"

#include <cstdarg>
#include <cstdio>

std::string format_text(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (n > 0) {
        text.resize(std::size_t(n) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(std::size_t(n));
    }
    va_end(again);
    return text;
}
