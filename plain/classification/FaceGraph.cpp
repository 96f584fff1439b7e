#include "classification/FaceGraph.h"

#include <algorithm>
#include <cstdint>

FaceGraph FaceGraph::from_links(int faces, const std::vector<FaceLink>& links)
{
    // Order the calls by pair, keeping call order within a pair, so the last
    // call of each pair is the last of its run. A link of a face to itself
    // is no step anywhere.
    std::vector<std::uint32_t> order;
    order.reserve(links.size());
    for (std::uint32_t i = 0; i < links.size(); ++i) {
        const FaceLink& l = links[i];
        if (l.a != l.b && l.a >= 0 && l.b >= 0 && l.a < faces && l.b < faces) order.push_back(i);
    }
    auto key = [&links](std::uint32_t i) {
        const FaceLink& l = links[i];
        return std::uint64_t(std::uint32_t(std::min(l.a, l.b))) << 32 | std::uint32_t(std::max(l.a, l.b));
    };
    std::stable_sort(order.begin(), order.end(), [&key](std::uint32_t p, std::uint32_t q) { return key(p) < key(q); });
    std::vector<std::uint32_t> kept;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const bool last_of_pair = k + 1 == order.size() || key(order[k + 1]) != key(order[k]);
        if (last_of_pair && links[order[k]].weight != 0.0f) kept.push_back(order[k]);
    }

    FaceGraph g;
    g.n = faces;
    g.offsets.assign(std::size_t(faces) + 1, 0);
    for (std::uint32_t i : kept) {
        ++g.offsets[links[i].a + 1];
        ++g.offsets[links[i].b + 1];
    }
    for (int f = 0; f < faces; ++f) g.offsets[f + 1] += g.offsets[f];
    g.targets.resize(g.offsets.back());
    g.weights.resize(g.offsets.back());
    std::vector<int> fill(g.offsets.begin(), g.offsets.end() - 1);
    for (std::uint32_t i : kept) {
        const FaceLink& l = links[i];
        g.targets[fill[l.a]] = l.b;
        g.weights[fill[l.a]++] = l.weight;
        g.targets[fill[l.b]] = l.a;
        g.weights[fill[l.b]++] = l.weight;
    }
    return g;
}
