#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// A list of lists stored in two flat arrays (offsets and items), so a mesh
// of a million faces costs two allocations instead of a million. Offsets
// are 32 bits: a mesh has fewer than 2^32 corner pairs long before it has
// 2^31 faces.
// lists[i] is a read-only range; the lists are filled by the owner through
// reset/count/start/push in two passes (count, then fill in order).
template <typename T>
class IndexLists {
public:
    struct Range {
        const T* first;
        const T* last;
        const T* begin() const { return first; }
        const T* end() const { return last; }
        std::size_t size() const { return std::size_t(last - first); }
        bool empty() const { return first == last; }
        const T& operator[](std::size_t k) const { return first[k]; }
    };

    std::size_t size() const { return offsets.empty() ? 0 : offsets.size() - 1; }
    bool empty() const { return size() == 0; }
    Range operator[](std::size_t i) const
    {
        assert(i < size());
        return {items.data() + offsets[i], items.data() + offsets[i + 1]};
    }

    void clear()
    {
        offsets.clear();
        items.clear();
    }

    // Pass 1: reset(n), then count(i) once for each item list i will hold.
    void reset(std::size_t n)
    {
        offsets.assign(n + 1, 0);
        items.clear();
    }
    void count(std::size_t i) { ++offsets[i + 1]; }
    // Pass 2: start(), then push(i, item) in the wanted order, then
    // finish(). While filling, offsets[i] is where list i's next item goes,
    // so the lists are read only after finish().
    void start()
    {
        std::uint64_t total = 0;
        for (std::size_t i = 1; i < offsets.size(); ++i) {
            total += offsets[i];
            if (total > UINT32_MAX) throw std::length_error("more than 2^32 items in lists");
            offsets[i] = std::uint32_t(total);
        }
        items.resize(std::size_t(total));
    }
    void push(std::size_t i, const T& item) { items[offsets[i]++] = item; }
    // Each cursor has reached the start of the next list: one place back.
    void finish()
    {
        for (std::size_t i = offsets.size() - 1; i > 0; --i) offsets[i] = offsets[i - 1];
        if (!offsets.empty()) offsets[0] = 0;
    }

    std::vector<std::uint32_t> offsets;
    std::vector<T> items;
};
