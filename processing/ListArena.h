#pragma once

#include <cstddef>
#include <vector>

// Many short ordered lists of ints, so a graph of a million vertices does not
// make a million small allocations. Each list has one cache line of its own
// holding its size and room for the usual few items, so reading a short list
// costs one memory access; a list that outgrows its line moves to a block of
// a shared array, and to a block twice the size whenever it outgrows that.
// Removal keeps the order of what remains.
// Pointers from data() are valid until the next push.
class ListArena {
public:
    // One empty list per entry of `capacities`; a list expected to hold
    // more than fits in its line gets its block at once.
    void reset(const std::vector<int>& capacities);

    int size(int list) const { return slots[std::size_t(list)].size; }
    bool empty(int list) const { return size(list) == 0; }
    const int* data(int list) const { return items_of(slots[std::size_t(list)]); }
    int at(int list, int k) const { return data(list)[k]; }

    // Asks the memory system for a list, so that several can be on their way
    // at once.
    void prefetch(int list) const { __builtin_prefetch(&slots[std::size_t(list)]); }

    // Position of the first occurrence of value, -1 if none. The lists are
    // short: a plain loop beats an unrolled search.
    int find(int list, int value) const
    {
        const Slot& s = slots[std::size_t(list)];
        const int* p = items_of(s);
        for (int k = 0; k < s.size; ++k)
            if (p[k] == value) return k;
        return -1;
    }
    bool contains(int list, int value) const { return find(list, value) >= 0; }
    void push(int list, int value)
    {
        Slot& s = slots[std::size_t(list)];
        if (s.size == s.capacity) move_out(s, 2 * s.capacity);
        items_of(s)[s.size++] = value;
    }
    void push_unique(int list, int value)
    {
        if (!contains(list, value)) push(list, value);
    }
    // Removes the first occurrence of value, if any.
    void remove(int list, int value)
    {
        const int k = find(list, value);
        if (k >= 0) remove_at(list, k);
    }
    void remove_at(int list, int k)
    {
        Slot& s = slots[std::size_t(list)];
        int* p = items_of(s);
        for (int j = k + 1; j < s.size; ++j) p[j - 1] = p[j];
        --s.size;
    }
    void clear(int list) { slots[std::size_t(list)].size = 0; }

private:
    static constexpr int inside_size = 13;
    struct alignas(64) Slot {
        int size = 0;
        int capacity = inside_size;
        int block = -1;  // offset of the items in `items`, -1 while inside
        int inside[inside_size] = {};
    };
    const int* items_of(const Slot& s) const { return s.block < 0 ? s.inside : items.data() + s.block; }
    int* items_of(Slot& s) { return s.block < 0 ? s.inside : items.data() + s.block; }
    void move_out(Slot& s, int capacity);

    std::vector<Slot> slots;
    std::vector<int> items;
};
