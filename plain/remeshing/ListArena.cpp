#include "remeshing/ListArena.h"

#include <algorithm>

void ListArena::reset(const std::vector<int>& capacities)
{
    rows.assign(capacities.size(), Row{});
    items.clear();
    for (std::size_t i = 0; i < capacities.size(); ++i)
        if (capacities[i] > inside_size)
            for (Slot& s : rows[i].side) move_out(s, capacities[i]);
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
