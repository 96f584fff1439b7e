#pragma once

#include <cstdint>
#include <vector>

#include "remeshing/HugePageAllocator.h"

// The vertices waiting to collapse, cheapest first. Among equal costs the
// lowest vertex number comes first: the vertex list keeps the original order
// when vertices are removed, so that is the first cheapest vertex in the list.
// An indexed eight-way heap: each vertex's cost and number packed into one
// integer that orders the same way, the eight children of an entry in one
// cache line, and a changed cost moving its vertex in log time.
// Costs must not be NaN.
class CollapseQueue {
public:
    // Queues vertex i with cost costs[i] for every i.
    void reset(const std::vector<float>& costs);
    bool empty() const { return count == 0; }
    int top() const { return int(std::uint32_t(entry(0))); }
    void pop();
    // New cost for a queued vertex.
    void update(int v, float cost);

    // Asks the memory system for what update(v) reads first.
    void prefetch(int v) const { __builtin_prefetch(&where[std::size_t(v)]); }
    // The same for the heap entry of v, once its position is in.
    void prefetch_entry(int v) const
    {
        if (where[std::size_t(v)] >= 0) __builtin_prefetch(&entry(std::size_t(where[std::size_t(v)])));
    }

private:
    using Key = std::uint64_t;
    static Key key(float cost, int v);

    // Entry i lives at storage[first + i], where `first` puts the children
    // of every entry (8i + 1 to 8i + 8) at the start of a cache line.
    Key& entry(std::size_t i) { return storage[first + i]; }
    const Key& entry(std::size_t i) const { return storage[first + i]; }
    void place(std::size_t at, Key k)
    {
        entry(at) = k;
        where[std::uint32_t(k)] = int(at);
    }
    void sift_up(std::size_t at, Key k);
    void sift_down(std::size_t at, Key k);

    std::vector<Key, HugePageAllocator<Key>> storage;
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<int, HugePageAllocator<int>> where;  // position of each vertex in the heap, -1 when gone
};
