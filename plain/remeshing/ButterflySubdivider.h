#pragma once

#include <memory>

#include "remeshing/SubdivisionEdgeMap.h"

class Mesh;
class Messages;

// Interpolating butterfly subdivision. Each level splits every triangle into
// four: old vertices stay, and every edge gets a new vertex placed by the
// butterfly stencil with tension `weight` (0 gives the classic weights 1/2,
// 1/8, -1/16). Border edges and edges next to a border get plain midpoints.
class ButterflySubdivider {
public:
    // Size of a subdivision's result, and what building it asks of memory.
    struct Estimate {
        double vertices = 0;
        double faces = 0;
        double bytes = 0;
    };

    Messages& messages;
    float weight = 0.0f;
    int levels = 0;
    std::unique_ptr<Mesh> source;
    std::unique_ptr<Mesh> result;
    SubdivisionEdgeMap edge_map;
    // A run whose estimate needs more bytes than this changes nothing.
    // Starts at the memory this process may use (usable_memory).
    double memory_limit;

    // Reports on `messages` (the estimate of a run too big for memory).
    explicit ButterflySubdivider(Messages& messages);
    ~ButterflySubdivider();
    ButterflySubdivider(const ButterflySubdivider&) = delete;
    ButterflySubdivider& operator=(const ButterflySubdivider&) = delete;

    // Subdivides `source` `levels` times into `result`, whose vertex and face
    // normals and texture coordinates are built. Leaves `result` empty when
    // there is no source, levels < 1, or the result would not fit in memory
    // (the last after one console line with the estimate and the limit).
    // Morphogen values follow: old vertices keep theirs, an edge's new vertex
    // gets the mean of its two ends.
    void run();

    // Replaces `mesh` by itself subdivided `subdiv` times with tension `w`,
    // then rebuilds its edge list, normals, centre, centroids and box.
    // Returns false, with `mesh` untouched, when run() made no result; an
    // allocation failure also leaves `mesh` untouched (and is passed on).
    bool subdivide(Mesh& mesh, int subdiv, float w);

    // One level from `current` into `next`; edge_map must hold current's edges.
    void step(const Mesh& current, Mesh& next) const;

    static Estimate estimate(const Mesh& mesh, int edge_count, int levels);

private:
    // Corners c, d and the four outer corners of edge e, or false when the
    // edge lacks any of them (it then keeps its midpoint).
    bool stencil(const Mesh& current, int e, int corners[6]) const;
};
