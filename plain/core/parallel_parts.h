#pragma once

#include <thread>
#include <vector>

// Runs work(part, parts) for part = 0 ... parts - 1, each part on its own
// thread (the caller's thread takes part 0). Parts must write disjoint data.
template <class Work>
void run_parts(int parts, const Work& work)
{
    if (parts <= 1) {
        work(0, 1);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(std::size_t(parts) - 1);
    for (int p = 1; p < parts; ++p) helpers.emplace_back([&work, p, parts] { work(p, parts); });
    work(0, parts);
    for (std::thread& t : helpers) t.join();
}

// How many threads the engines use: the machine's cores, at most two.
inline int engine_threads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}
