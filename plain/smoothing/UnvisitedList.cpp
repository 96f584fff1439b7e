#include "smoothing/UnvisitedList.h"

void UnvisitedList::fill(int n)
{
    if (n < 0) n = 0;
    nodes.resize(std::size_t(n));
    linked.assign(std::size_t(n), 1);
    for (int i = 0; i < n; ++i) {
        nodes[i].prev = i - 1;
        nodes[i].next = i + 1 < n ? i + 1 : -1;
    }
    head = n > 0 ? 0 : -1;
    tail = n > 0 ? n - 1 : -1;
    count = n;
}

void UnvisitedList::remove(int face)
{
    if (!contains(face)) return;
    const Node& node = nodes[face];
    if (node.prev != -1)
        nodes[node.prev].next = node.next;
    else
        head = node.next;
    if (node.next != -1)
        nodes[node.next].prev = node.prev;
    else
        tail = node.prev;
    linked[face] = 0;
    --count;
}
