#pragma once

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

// Sends standard output to /dev/null while alive: the engines and build()
// print their console lines, which would drown the report.
class Quiet {
public:
    Quiet() : saved(dup(1))
    {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            close(null);
        }
    }
    ~Quiet()
    {
        std::fflush(stdout);
        if (saved >= 0) {
            dup2(saved, 1);
            close(saved);
        }
    }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int saved;
};
