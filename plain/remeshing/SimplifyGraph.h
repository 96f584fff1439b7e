#pragma once

#include <array>
#include <unordered_map>
#include <vector>

#include "remeshing/HubMemory.h"
#include "remeshing/HugePageAllocator.h"
#include "remeshing/ListArena.h"

class Mesh;

// The working graph of edge-collapse simplification: vertices with their
// neighbours and triangles, triangles with their corners and normals.
// Vertices and triangles keep their numbers from the mesh; removed ones are
// flagged dead, so the survivors stay in their original order.
// The neighbour and triangle lists of each vertex are ordered exactly as the
// collapses leave them, since the order decides ties between equal costs.
class SimplifyGraph {
public:
    // Corners and unit normal together: every cost update reads both.
    struct Triangle {
        std::array<int, 3> corners;
        std::array<float, 3> normal;
    };

    // The large arrays read in random order.
    template <typename T>
    using Array = std::vector<T, HugePageAllocator<T>>;

    // Positions never change: a collapse only removes a vertex.
    Array<std::array<float, 3>> positions;
    Array<Triangle> triangles;
    std::vector<unsigned char> vertex_alive;
    std::vector<unsigned char> triangle_alive;
    std::vector<float> cost;               // per vertex: its cheapest collapse
    std::vector<int> target;               // where that collapse goes, -1 for none
    ListArena lists;                       // a row per vertex:
    ListArena::Side neighbours{lists, 0};  //   its neighbours
    ListArena::Side faces{lists, 1};       //   its triangles
    int vertex_count = 0;                  // vertices alive
    int triangle_count = 0;                // triangles alive
    // Whether compute_cost may take eight edges at a time (AVX2), which
    // gives the same costs; tests turn it off to compare.
    bool eight_lanes = has_eight_lanes();

    // One vertex per mesh vertex and one triangle per face with three
    // different corners (a face with a repeated corner has no area and no
    // edge to collapse, and would make a vertex its own neighbour).
    void build(const Mesh& mesh);

    // Cost of collapsing u onto v: edge length times how far the triangles
    // around u turn away from those on the edge (0 on a flat region).
    float edge_cost(int u, int v) const;
    // Sets cost[v] and target[v]: the cheapest collapse over v's neighbours
    // in list order (the first of equals), -0.01 and none for a vertex
    // without neighbours.
    void compute_cost(int v);
    // Whether v is in so many triangles that compute_cost(v) takes the hub
    // path, which keeps working memory in the graph: the costs of hubs are
    // computed one at a time, never on two threads at once.
    bool is_hub(int v) const { return faces.size(v) > hub_faces; }
    // Asks the memory system for what compute_cost(v) will read, so that the
    // costs of several vertices can wait for memory together.
    void prefetch_cost(int v) const;
    // The same for what collapsing u reads: first u's own lists, then, once
    // those are in, what lies one step away from u (its triangles and its
    // neighbours' lists and positions), all at once rather than met one list
    // at a time.
    void prefetch_lists(int u) const { neighbours.prefetch(u); }
    void prefetch_around(int u) const;
    // Collapses u onto v (v = -1 just removes u): the triangles on the edge go,
    // the others of u move to v, u goes. `touched` receives u's former
    // neighbours, whose costs the caller must recompute.
    void collapse(int u, int v, std::vector<int>& touched);

    // Replaces the mesh's vertices and faces by the survivors in order; the
    // mesh must still be the one the graph was built from.
    // Morphogen values follow their vertices; everything else per vertex and
    // per face starts at its defaults.
    void write_back(Mesh& mesh) const;

    // Whether this processor has the eight-lane instructions.
    static bool has_eight_lanes();

private:
    // Vertices in more triangles than this are hubs.
    static constexpr int hub_faces = 24;
    bool has(int t, int v) const
    {
        const std::array<int, 3>& c = triangles[std::size_t(t)].corners;
        return c[0] == v || c[1] == v || c[2] == v;
    }
    void compute_normal(int t);
    void delete_triangle(int t, int u);
    void replace_vertex(int t, int from, int to);
    void remove_vertex(int u);
    // Drops n from a's neighbours unless one of a's triangles still has n.
    // Valid while the triangle lists of a and n are exact, as they are while
    // a collapse deletes triangles.
    void drop_if_apart(int a, int n);

    std::unordered_map<int, HubMemory> hub_memory;
};
