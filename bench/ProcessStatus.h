#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

// A line of /proc/self/status in KiB ("VmRSS:", "VmHWM:", "RssAnon:"); -1
// when there is none.
inline long status_kib(const char* key)
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const std::size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0) value = std::atol(line + n);
    std::fclose(f);
    return value;
}
