#pragma once

#include <cstddef>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "processing/HugePageAllocator.h"

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
    };
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
                // The line's three counts are compared too, then masked off.
                const __m128i want = _mm_set1_epi32(value);
                const __m128i* line = reinterpret_cast<const __m128i*>(&t);
                unsigned hits = 0;
                for (int g = 0; g < 4; ++g)
                    hits |= unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_load_si128(line + g), want)))) << (4 * g);
                hits &= (1u << t.size) - 1;
                return hits != 0 ? __builtin_ctz(hits) : -1;
            }
#endif
            const int* p = a.items_of(t);
            for (int k = 0; k < t.size; ++k)
                if (p[k] == value) return k;
            return -1;
        }
        bool contains(int list, int value) const { return find(list, value) >= 0; }
        // Whether any of count values is on the list.
        bool contains_any(int list, const int* values, int count) const
        {
            const Slot& t = slot(list);
#ifdef __SSE2__
            if (t.block < 0) {
                const __m128i* line = reinterpret_cast<const __m128i*>(&t);
                const __m128i g0 = _mm_load_si128(line), g1 = _mm_load_si128(line + 1);
                const __m128i g2 = _mm_load_si128(line + 2), g3 = _mm_load_si128(line + 3);
                const unsigned items = (1u << t.size) - 1;
                for (int k = 0; k < count; ++k) {
                    const __m128i want = _mm_set1_epi32(values[k]);
                    const __m128i low = _mm_packs_epi32(_mm_cmpeq_epi32(g0, want), _mm_cmpeq_epi32(g1, want));
                    const __m128i high = _mm_packs_epi32(_mm_cmpeq_epi32(g2, want), _mm_cmpeq_epi32(g3, want));
                    // One bit per item, from the bytes of the packed words.
                    const unsigned hits = unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
                    if (hits & items) return true;
                }
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
            for (int j = k + 1; j < t.size; ++j) p[j - 1] = p[j];
            --t.size;
        }
        void clear(int list) { slot(list).size = 0; }

    private:
        const Slot& slot(int list) const { return a.rows[std::size_t(list)].side[s]; }
        Slot& slot(int list) { return a.rows[std::size_t(list)].side[s]; }
        ListArena& a;
        int s;
    };

    // One row of two empty lists per entry of `capacities`; a list expected
    // to hold more than fits in its line gets its block at once.
    void reset(const std::vector<int>& capacities);

private:
    const int* items_of(const Slot& s) const { return s.block < 0 ? s.inside : items.data() + s.block; }
    int* items_of(Slot& s) { return s.block < 0 ? s.inside : items.data() + s.block; }
    void move_out(Slot& s, int capacity);

    std::vector<Row, HugePageAllocator<Row>> rows;
    std::vector<int> items;
};
