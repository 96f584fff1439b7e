#include "processing/ListArena.h"

#include <algorithm>

void ListArena::reset(const std::vector<int>& capacities)
{
    slots.assign(capacities.size(), Slot{});
    items.clear();
    for (std::size_t i = 0; i < capacities.size(); ++i)
        if (capacities[i] > inside_size) move_out(slots[i], capacities[i]);
}

void ListArena::move_out(Slot& s, int capacity)
{
    const std::size_t moved = items.size();
    items.resize(moved + std::size_t(capacity));
    const int* from = items_of(s);
    std::copy_n(from, s.size, items.begin() + std::ptrdiff_t(moved));
    s.block = int(moved);
    s.capacity = capacity;
}

bool ListArena::contains(int list, int value) const
{
    const Slot& s = slots[std::size_t(list)];
    const int* p = items_of(s);
    return std::find(p, p + s.size, value) != p + s.size;
}

void ListArena::push(int list, int value)
{
    Slot& s = slots[std::size_t(list)];
    if (s.size == s.capacity) move_out(s, 2 * s.capacity);
    items_of(s)[s.size++] = value;
}

void ListArena::remove(int list, int value)
{
    const Slot& s = slots[std::size_t(list)];
    const int* p = items_of(s);
    const int* hit = std::find(p, p + s.size, value);
    if (hit != p + s.size) remove_at(list, int(hit - p));
}

void ListArena::remove_at(int list, int k)
{
    Slot& s = slots[std::size_t(list)];
    int* p = items_of(s);
    std::copy(p + k + 1, p + s.size, p + k);
    --s.size;
}
