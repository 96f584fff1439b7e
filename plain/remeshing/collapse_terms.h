#pragma once

#include <array>
#include <cmath>
#include <limits>

// The terms of an edge collapse's cost, shared by every way SimplifyGraph
// works a cost out, so that all of them give the same floats.

// Half of one minus the cosine between two unit normals: 0 for parallel
// triangles, 1 for opposite ones.
inline float turn_between(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return (1.0f - (a[0] * b[0] + a[1] * b[1] + a[2] * b[2])) / 2.0f;
}

inline float distance(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    const float x = b[0] - a[0], y = b[1] - a[1], z = b[2] - a[2];
    return std::sqrt(x * x + y * y + z * z);
}

// A cost that is not a number (from overflowing coordinates) counts as the
// dearest possible, so it still has a place in the order.
inline float ordered(float cost)
{
    return std::isnan(cost) ? std::numeric_limits<float>::infinity() : cost;
}
