#include "processing/CollapseQueue.h"

void CollapseQueue::reset(const std::vector<float>& costs)
{
    const std::size_t n = costs.size();
    heap.resize(n);
    where.resize(n);
    for (std::size_t i = 0; i < n; ++i) place(i, {costs[i], int(i)});
    for (std::size_t i = n / 4 + 1; i-- > 0;)
        if (i < n) sift_down(i, heap[i]);
}

void CollapseQueue::pop()
{
    where[heap.front().vertex] = -1;
    const Entry last = heap.back();
    heap.pop_back();
    if (!heap.empty()) sift_down(0, last);
}

void CollapseQueue::update(int v, float cost)
{
    const std::size_t at = std::size_t(where[v]);
    const Entry e{cost, v};
    if (at > 0 && e < heap[(at - 1) / 4])
        sift_up(at, e);
    else
        sift_down(at, e);
}

void CollapseQueue::sift_up(std::size_t at, Entry e)
{
    while (at > 0) {
        const std::size_t parent = (at - 1) / 4;
        if (!(e < heap[parent])) break;
        place(at, heap[parent]);
        at = parent;
    }
    place(at, e);
}

void CollapseQueue::sift_down(std::size_t at, Entry e)
{
    const std::size_t n = heap.size();
    for (;;) {
        const std::size_t child = 4 * at + 1;
        if (child >= n) break;
        std::size_t best = child;
        const std::size_t end = child + 4 < n ? child + 4 : n;
        for (std::size_t c = child + 1; c < end; ++c)
            if (heap[c] < heap[best]) best = c;
        if (!(heap[best] < e)) break;
        place(at, heap[best]);
        at = best;
    }
    place(at, e);
}
