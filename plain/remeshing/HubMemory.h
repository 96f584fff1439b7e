#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class SimplifyGraph;

// The cost of a hub: a vertex in many triangles, such as the centre of a
// polygon's fan, a cone's apex or a cylinder cap's centre. The curvature of
// an edge hub-v is the largest, over all the hub's triangles, of the smallest
// turn from that triangle to a side of the edge (a triangle on both ends), so
// working it out for every neighbour costs the valence squared, and a fan
// whose rim collapses one vertex at a time asks for it once per rim vertex.
//
// A HubMemory keeps what the last cost of its hub was worked out from and
// brings it up to date from the hub's lists at the next: the triangles and
// neighbours that went and came, the distinct normals of the triangles (a
// curvature only depends on those), and for each edge a lower bound of its
// curvature that is exact whenever nothing since can have changed it. Only
// edges whose bound could make them the cheapest are then worked out in full,
// so the result is the cost and target of the full scan.
class HubMemory {
public:
    // The hub's cheapest collapse, as SimplifyGraph::compute_cost finds it:
    // the least cost over its neighbours and the first neighbour in list
    // order at that cost. The hub has neighbours.
    std::pair<float, int> cheapest(const SimplifyGraph& graph, int hub);

private:
    using Bits = std::array<std::uint32_t, 3>;
    struct BitsHash {
        std::size_t operator()(const Bits& b) const
        {
            return std::size_t(b[0]) * 0x9e3779b97f4a7c15ull ^ std::size_t(b[1]) * 0xc2b2ae3d27d4eb4full ^
                   std::size_t(b[2]) * 0x165667b19e3779f9ull;
        }
    };
    // A triangle of the hub: its normal's entry and its two other corners.
    struct Triangle {
        int normal;
        int other[2];
    };
    // An edge from the hub: vertex -1 once the neighbour has left.
    struct Edge {
        float length;
        float curvature;  // a lower bound, 0 at least
        int probe;        // the normal entry that gave it, -1 for none
        bool exact;       // the bound is the curvature
        int sides;        // how many of the hub's triangles have both ends
        int side[2];      // the first two of them, as places in `triangles`
    };

    void reset();
    void sync_neighbours(const int* near, int degree, const SimplifyGraph& graph);
    void sync_triangles(const int* around, int k, const SimplifyGraph& graph);
    void note_changed_triangles(const SimplifyGraph& graph);
    void settle_lost_normals();
    void leave(int t);
    void enter(int t, const SimplifyGraph& graph);
    int normal_entry(const std::array<float, 3>& n);
    void drop_side(int e, int t);
    void add_side(int e, int t);
    void recount_sides(int e);
    int edge_of(int v) const;
    void bound_again(int e);
    void raise_bounds();
    float smallest_turn(int e, const float* n) const;
    void side_normals(int e, std::vector<std::array<float, 3>>& out) const;
    void work_out(int e);
    void settle(int e);
    int first_least(const std::vector<float>& bounds, bool exact) const;
    void compact();

    int me = -1;  // the hub

    // The distinct normals of the hub's triangles, one array per
    // coordinate; `live` masks off free entries.
    std::vector<float> nx, ny, nz;
    std::vector<std::uint32_t> live;
    std::vector<int> uses;
    std::vector<int> free_normals;
    int live_normals = 0;
    std::unordered_map<Bits, int, BitsHash> normal_of;

    std::vector<int> triangle;        // graph triangles, in the order of the hub's list; -1 once gone
    std::vector<Triangle> triangles;  // what each of them was when last read
    int triangles_gone = 0;
    std::vector<int> vertex;   // per edge, in the order of the hub's list
    std::vector<float> bound;  // per edge: the cost its curvature bound gives
    // The same for exact edges and for the others, +infinity elsewhere, to
    // find the least of each four at a time.
    std::vector<float> exact_bound, loose_bound;
    std::vector<Edge> edges;
    int edges_gone = 0;
    // vertex -> a key of its edge that compaction does not change, and
    // key -> the edge's place
    std::unordered_map<int, int> key_of;
    std::vector<int> place_of_key;
    std::vector<int> key;  // per edge

    // What happened since the last cost, gathered while syncing.
    std::vector<int> left_vertices;  // with their sides, for changed triangles
    std::vector<Edge> left_edges;
    std::vector<int> lost_normals;
    std::vector<int> new_normals;
    std::vector<int> dirty;
    std::vector<int> candidates;
    std::vector<int> places;
    std::vector<int> weighed;
    std::vector<std::array<float, 3>> many_sides;
};
