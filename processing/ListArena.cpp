#include "processing/ListArena.h"

#include <algorithm>

void ListArena::reset(const std::vector<int>& capacities)
{
    blocks.resize(capacities.size());
    std::size_t total = 0;
    for (std::size_t i = 0; i < capacities.size(); ++i) {
        blocks[i] = {total, 0, capacities[i]};
        total += std::size_t(capacities[i]);
    }
    items.assign(total, 0);
}

bool ListArena::contains(int list, int value) const
{
    const Block& b = blocks[list];
    const int* p = items.data() + b.first;
    return std::find(p, p + b.size, value) != p + b.size;
}

void ListArena::push(int list, int value)
{
    Block& b = blocks[list];
    if (b.size == b.capacity) {
        const std::size_t moved = items.size();
        const int capacity = std::max(4, 2 * b.capacity);
        items.resize(moved + std::size_t(capacity));
        std::copy_n(items.begin() + std::ptrdiff_t(b.first), b.size, items.begin() + std::ptrdiff_t(moved));
        b.first = moved;
        b.capacity = capacity;
    }
    items[b.first + std::size_t(b.size++)] = value;
}

void ListArena::remove(int list, int value)
{
    const Block& b = blocks[list];
    const int* p = items.data() + b.first;
    const int* hit = std::find(p, p + b.size, value);
    if (hit != p + b.size) remove_at(list, int(hit - p));
}

void ListArena::remove_at(int list, int k)
{
    Block& b = blocks[list];
    int* p = items.data() + b.first;
    std::copy(p + k + 1, p + b.size, p + k);
    --b.size;
}
