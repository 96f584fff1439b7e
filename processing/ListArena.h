#pragma once

#include <cstddef>
#include <vector>

// Many short ordered lists of ints kept in one array, so a graph of a
// million vertices does not make a million small allocations. Each list owns
// a block; a list that outgrows its block moves to a block twice the size at
// the end of the array. Removal keeps the order of what remains.
// Pointers from data() are valid until the next push.
class ListArena {
public:
    // One empty list per entry of `capacities`, each with that much room.
    void reset(const std::vector<int>& capacities);

    int size(int list) const { return blocks[list].size; }
    bool empty(int list) const { return blocks[list].size == 0; }
    const int* data(int list) const { return items.data() + blocks[list].first; }
    int at(int list, int k) const { return items[blocks[list].first + std::size_t(k)]; }

    bool contains(int list, int value) const;
    void push(int list, int value);
    void push_unique(int list, int value)
    {
        if (!contains(list, value)) push(list, value);
    }
    // Removes the first occurrence of value, if any.
    void remove(int list, int value);
    void remove_at(int list, int k);
    void clear(int list) { blocks[list].size = 0; }

private:
    struct Block {
        std::size_t first;
        int size;
        int capacity;
    };
    std::vector<Block> blocks;
    std::vector<int> items;
};
