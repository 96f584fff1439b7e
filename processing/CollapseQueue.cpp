#include "processing/CollapseQueue.h"

void CollapseQueue::reset(const std::vector<float>& costs)
{
    key = costs;
    const std::size_t n = costs.size();
    heap.resize(n);
    where.resize(n);
    for (std::size_t i = 0; i < n; ++i) place(i, int(i));
    for (std::size_t i = n / 4 + 1; i-- > 0;) sift_down(i);
}

void CollapseQueue::pop()
{
    const int gone = heap.front();
    const int last = heap.back();
    heap.pop_back();
    where[gone] = -1;
    if (heap.empty()) return;
    place(0, last);
    sift_down(0);
}

void CollapseQueue::update(int v, float cost)
{
    key[v] = cost;
    sift_up(std::size_t(where[v]));
    sift_down(std::size_t(where[v]));
}

void CollapseQueue::sift_up(std::size_t at)
{
    const int v = heap[at];
    while (at > 0) {
        const std::size_t parent = (at - 1) / 4;
        if (!before(v, heap[parent])) break;
        place(at, heap[parent]);
        at = parent;
    }
    place(at, v);
}

void CollapseQueue::sift_down(std::size_t at)
{
    const std::size_t n = heap.size();
    if (at >= n) return;
    const int v = heap[at];
    for (;;) {
        const std::size_t child = 4 * at + 1;
        if (child >= n) break;
        std::size_t best = child;
        const std::size_t end = child + 4 < n ? child + 4 : n;
        for (std::size_t c = child + 1; c < end; ++c)
            if (before(heap[c], heap[best])) best = c;
        if (!before(heap[best], v)) break;
        place(at, heap[best]);
        at = best;
    }
    place(at, v);
}
