#include "remeshing/CollapseQueue.h"

#include <cstdint>
#include <cstring>

namespace {
constexpr std::size_t ways = 8;
}

// The cost's bits turned so that unsigned order is float order (both zeros
// made one, since they compare equal), above the vertex number.
CollapseQueue::Key CollapseQueue::key(float cost, int v)
{
    if (cost == 0.0f) cost = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &cost, sizeof bits);
    bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
    return (Key(bits) << 32) | std::uint32_t(v);
}

void CollapseQueue::reset(const std::vector<float>& costs)
{
    const std::size_t n = costs.size();
    // Room for the heap plus enough to slide it to a 64-byte boundary.
    storage.assign(n + 2 * ways, 0);
    const std::size_t misalign = (reinterpret_cast<std::uintptr_t>(storage.data()) / sizeof(Key)) % ways;
    // Entry 1 (the first child of the root) starts a line.
    first = (2 * ways - 1 - misalign) % ways;
    where.resize(n);
    count = n;
    for (std::size_t i = 0; i < n; ++i) place(i, key(costs[i], int(i)));
    if (n > 1)
        for (std::size_t i = (n - 2) / ways + 1; i-- > 0;) sift_down(i, entry(i));
}

void CollapseQueue::pop()
{
    where[std::uint32_t(entry(0))] = -1;
    --count;
    if (count > 0) sift_down(0, entry(count));
}

void CollapseQueue::update(int v, float cost)
{
    const std::size_t at = std::size_t(where[std::size_t(v)]);
    const Key k = key(cost, v);
    if (at > 0 && k < entry((at - 1) / ways))
        sift_up(at, k);
    else
        sift_down(at, k);
}

void CollapseQueue::sift_up(std::size_t at, Key k)
{
    while (at > 0) {
        const std::size_t parent = (at - 1) / ways;
        if (!(k < entry(parent))) break;
        place(at, entry(parent));
        at = parent;
    }
    place(at, k);
}

void CollapseQueue::sift_down(std::size_t at, Key k)
{
    for (;;) {
        const std::size_t child = ways * at + 1;
        if (child >= count) break;
        const std::size_t end = child + ways < count ? child + ways : count;
        // Without branches: which child is least is as good as random, so a
        // branch on it would be mispredicted half the time.
        std::size_t best = child;
        Key least = entry(child);
        for (std::size_t c = child + 1; c < end; ++c) {
            const Key e = entry(c);
            const bool less = e < least;
            least = less ? e : least;
            best = less ? c : best;
        }
        if (!(least < k)) break;
        place(at, least);
        at = best;
    }
    place(at, k);
}
