#include "core/PositionIndex.h"

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t key_bits(float f)
{
    f += 0.0f;  // -0 and +0 are the same position
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

std::size_t position_hash(const Vector& p)
{
    std::uint64_t h = key_bits(p.x);
    h = h * 0x9E3779B97F4A7C15ull ^ key_bits(p.y);
    h = h * 0x9E3779B97F4A7C15ull ^ key_bits(p.z);
    h *= 0xBF58476D1CE4E5B9ull;
    return std::size_t(h ^ (h >> 31));
}

bool same(const Vector& a, const Vector& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

int PositionIndex::index_of(const Vector& p)
{
    if ((points.size() + 1) * 2 > table.size()) grow();
    const std::size_t mask = table.size() - 1;
    std::size_t h = position_hash(p) & mask;
    while (table[h] != -1) {
        if (same(points[std::size_t(table[h])], p)) return table[h];
        h = (h + 1) & mask;
    }
    table[h] = int(points.size());
    points.push_back(p);
    return table[h];
}

void PositionIndex::clear()
{
    points.clear();
    table.clear();
}

void PositionIndex::grow()
{
    std::size_t capacity = table.empty() ? 16 : table.size() * 2;
    while (capacity < (points.size() + 1) * 2) capacity *= 2;
    table.assign(capacity, -1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::size_t h = position_hash(points[i]) & (capacity - 1);
        while (table[h] != -1) h = (h + 1) & (capacity - 1);
        table[h] = int(i);
    }
}
