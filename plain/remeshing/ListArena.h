#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "remeshing/find_int.h"
#include "remeshing/HugePageAllocator.h"

// Many short ordered lists of ints in rows of two (a vertex's neighbours and
// its triangles), so a graph of a million vertices does not make a million
// small allocations. Each list has one cache line of its own holding its
// size and room for the usual few items, and the two lines of a row sit in
// one aligned 128-byte block, which the memory system fetches together: so
// reading both lists of a row costs one memory access. A list that outgrows
// its line moves to a block of a shared array, and to a block twice the size
// whenever it outgrows that.
// Removal keeps the order of what remains.
// Pointers from data() are valid until the next push to either side.
class ListArena {
    static constexpr int inside_size = 13;
    // The items come first, so that a search can read the whole line in
    // four aligned groups of four.
    struct alignas(64) Slot {
        int inside[inside_size] = {};
        int size = 0;
        int capacity = inside_size;
        int block = -1;  // offset of the items in `items`, -1 while inside

        // One bit for each item held inside.
        unsigned items() const { return (1u << size) - 1; }
    };
#ifdef __SSE2__
    // A slot's line in four groups of four, searched for one value at a
    // time: bit k of the result is set when the k-th int of the line equals
    // the value (the counts at the end included, for the caller to mask off).
    struct Line {
        __m128i g[4];
        explicit Line(const Slot& t)
        {
            const __m128i* p = reinterpret_cast<const __m128i*>(&t);
            for (int i = 0; i < 4; ++i) g[i] = _mm_load_si128(p + i);
        }
        unsigned hits(int value) const
        {
            const __m128i want = _mm_set1_epi32(value);
            const __m128i low = _mm_packs_epi32(_mm_cmpeq_epi32(g[0], want), _mm_cmpeq_epi32(g[1], want));
            const __m128i high = _mm_packs_epi32(_mm_cmpeq_epi32(g[2], want), _mm_cmpeq_epi32(g[3], want));
            return unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
        }
    };
#endif
    struct alignas(128) Row {
        Slot side[2];
    };

public:
    // One side of every row, read and changed as lists of its own.
    class Side {
    public:
        Side(ListArena& arena, int side) : a(arena), s(side) {}
        Side(const Side&) = delete;
        Side& operator=(const Side&) = delete;

        int size(int list) const { return slot(list).size; }
        bool empty(int list) const { return size(list) == 0; }
        const int* data(int list) const { return a.items_of(slot(list)); }
        int at(int list, int k) const { return data(list)[k]; }

        // Asks the memory system for a list (and with it the other side of
        // its row), so that several can be on their way at once.
        void prefetch(int list) const
        {
            const Row& r = a.rows[std::size_t(list)];
            __builtin_prefetch(&r.side[0]);
            __builtin_prefetch(&r.side[1]);
        }

        // Position of the first occurrence of value, -1 if none.
        int find(int list, int value) const
        {
            const Slot& t = slot(list);
#ifdef __SSE2__
            if (t.block < 0) {
                const unsigned hits = Line(t).hits(value) & t.items();
                return hits != 0 ? __builtin_ctz(hits) : -1;
            }
#endif
            return find_int(a.items_of(t), t.size, value);
        }
        bool contains(int list, int value) const
        {
            return find(list, value) >= 0;
        }
        // Whether any of count values is on the list.
        bool contains_any(int list, const int* values, int count) const
        {
            const Slot& t = slot(list);
#ifdef __SSE2__
            if (t.block < 0) {
                const Line line(t);
                for (int k = 0; k < count; ++k)
                    if (line.hits(values[k]) & t.items()) return true;
                return false;
            }
#endif
            for (int k = 0; k < count; ++k)
                if (contains(list, values[k])) return true;
            return false;
        }
        void push(int list, int value)
        {
            Slot& t = slot(list);
            if (t.size == t.capacity) a.move_out(t, 2 * t.capacity);
            a.items_of(t)[t.size++] = value;
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
            Slot& t = slot(list);
            int* p = a.items_of(t);
            std::memmove(p + k, p + k + 1, sizeof(int) * std::size_t(t.size - k - 1));
            --t.size;
        }
        void clear(int list)
        {
            slot(list).size = 0;
        }

    private:
        const Slot& slot(int list) const
        {
            return a.rows[std::size_t(list)].side[s];
        }
        Slot& slot(int list)
        {
            return a.rows[std::size_t(list)].side[s];
        }
        ListArena& a;
        int s;
    };

    // One row of two empty lists per entry of `capacities`; a list expected
    // to hold more than fits in its line gets its block at once.
    void reset(const std::vector<int>& capacities);

private:
    const int* items_of(const Slot& s) const
    {
        return s.block < 0 ? s.inside : items.data() + s.block;
    }
    int* items_of(Slot& s)
    {
        return s.block < 0 ? s.inside : items.data() + s.block;
    }
    void move_out(Slot& s, int capacity);

    std::vector<Row, HugePageAllocator<Row>> rows;
    std::vector<int> items;
};
