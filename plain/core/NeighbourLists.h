#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/IndexLists.h"

// Lists of pointers into one flat array of int (a mesh's `edges` or
// `edge_faces` read as pairs), kept as 32-bit places in that array: half
// the bytes of the pointers they stand for. lists[i] is a range of
// `const int*`; the array must keep its buffer while the lists are read,
// as the pointers themselves would.
class NeighbourLists {
public:
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = const int*;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = const int*;

        Iterator(const int* base, const std::uint32_t* at) : base_(base), at_(at) {}
        const int* operator*() const { return base_ + *at_; }
        const int* operator[](std::ptrdiff_t k) const { return base_ + at_[k]; }
        Iterator& operator++()
        {
            ++at_;
            return *this;
        }
        Iterator operator+(std::ptrdiff_t k) const { return {base_, at_ + k}; }
        std::ptrdiff_t operator-(const Iterator& o) const { return at_ - o.at_; }
        bool operator==(const Iterator& o) const { return at_ == o.at_; }
        bool operator!=(const Iterator& o) const { return at_ != o.at_; }

    private:
        const int* base_;
        const std::uint32_t* at_;
    };

    struct Range {
        Iterator first;
        Iterator last;
        Iterator begin() const { return first; }
        Iterator end() const { return last; }
        std::size_t size() const { return std::size_t(last - first); }
        bool empty() const { return first == last; }
        const int* operator[](std::size_t k) const { return first[std::ptrdiff_t(k)]; }
    };

    std::size_t size() const { return places.size(); }
    bool empty() const { return places.empty(); }
    Range operator[](std::size_t i) const
    {
        const IndexLists<std::uint32_t>::Range r = places[i];
        return {Iterator(base, r.first), Iterator(base, r.last)};
    }

    void clear()
    {
        places.clear();
        base = nullptr;
    }
    // Filled as IndexLists are, with pointers into the array at `array`.
    void reset(std::size_t n, const int* array)
    {
        places.reset(n);
        base = array;
    }
    void count(std::size_t i) { places.count(i); }
    void start() { places.start(); }
    void push(std::size_t i, const int* p) { places.push(i, std::uint32_t(p - base)); }
    void finish() { places.finish(); }

    IndexLists<std::uint32_t> places;  // each pointer's place in the array
    const int* base = nullptr;
};
