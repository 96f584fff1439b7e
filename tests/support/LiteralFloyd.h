#pragma once

#include <vector>

#include "classification/FaceGraph.h"

// The all-pairs pass as first written: a packed triangle with row offsets,
// a link array filled by set_link, and Floyd-Warshall over unit steps in
// place. O(n^3); kept to prove that the table built by breadth-first
// searches is the same, float for float, and to measure the difference.
struct LiteralFloyd {
    int n = 0;
    int entries = 0;
    std::vector<int> row_offset;
    std::vector<float> link;
    std::vector<float> dist;

    int at(int a, int b) const { return a < b ? a + row_offset[b] : b + row_offset[a]; }
    float get(int a, int b) const { return dist[at(a, b)]; }

    LiteralFloyd(int faces, const std::vector<FaceLink>& links) : n(faces)
    {
        entries = int(n * n * 0.5 + n);
        row_offset.assign(entries, 0);
        for (int i = 1; i < n; ++i) row_offset[i] = row_offset[i - 1] + i;
        link.assign(entries, 0.0f);
        dist.assign(entries, -7.0f);
        for (const FaceLink& l : links) link[at(l.a, l.b)] = l.weight;

        for (int i = 0; i < n; ++i)
            for (int j = i; j < n; ++j) dist[at(i, j)] = link[at(i, j)] != 0.0f ? 1.0f : 1e9f;
        for (int i = 0; i < n; ++i) dist[at(i, i)] = 0.0f;
        for (int k = 0; k < n; ++k)
            for (int i = 0; i < n; ++i)
                for (int j = i; j < n; ++j) {
                    const float x = dist[at(i, k)] + dist[at(k, j)];
                    if (dist[at(i, j)] > x) {
                        dist[at(i, j)] = x;
                        link[at(i, j)] = link[at(k, j)];
                    }
                }
    }
};
