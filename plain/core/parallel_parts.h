#pragma once

#include <exception>
#include <thread>
#include <vector>

// Runs work(part, parts) for part = 0 ... parts - 1, each part on its own
// thread (the caller's thread takes part 0). Parts must write disjoint data.
// An exception in any part (memory running out) is passed on to the caller
// once every part has ended, instead of ending the program.
template <class Work>
void run_parts(int parts, const Work& work)
{
    if (parts <= 1) {
        work(0, 1);
        return;
    }
    std::vector<std::exception_ptr> failed(static_cast<std::size_t>(parts));
    auto guarded = [&work, &failed, parts](int p) {
        try {
            work(p, parts);
        } catch (...) {
            failed[static_cast<std::size_t>(p)] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(std::size_t(parts) - 1);
    try {
        for (int p = 1; p < parts; ++p) helpers.emplace_back(guarded, p);
    } catch (...) {
        // No thread to be had: the parts not started run here.
        for (int p = int(helpers.size()) + 1; p < parts; ++p) guarded(p);
    }
    guarded(0);
    for (std::thread& t : helpers) t.join();
    for (const std::exception_ptr& e : failed)
        if (e) std::rethrow_exception(e);
}

// How many threads the engines use: the machine's cores, at most two.
inline int engine_threads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}
