#pragma once

#include <functional>
#include <vector>

#include "classification/FaceGraph.h"
#include "classification/ShortestPathTable.h"
#include "core/Vector.h"

class Mesh;

// The dual-graph links of a mesh, one per interior edge in edge order, then
// one per link of a later face on a non-manifold edge (Mesh::for_each_later_link):
// weight = (1 - delta) * bend / mean_bend + delta * length / mean_length,
// with length the distance of the two face centroids and bend
// 0.05 * (1 - angle between the face normals), never below 0. The means run
// over all edges, border edges included, and fall back to 1 when not
// positive. Reads the face normals and the edge list.
std::vector<FaceLink> dual_links(const Mesh& mesh, const std::vector<Vector>& centroids, double delta,
                                 float& mean_length, float& mean_bend);

// Fills `table` (already sized for graph.n faces, compact or not) with the
// least number of steps between every two faces, or unreachable. One
// breadth-first search per face, each filling its own row.
//
// `each_row(part, s)` is called by the thread of part `part` before it fills
// row s (rows are taken in ascending order); it may throw to stop the work,
// which run_parts passes on once every part has ended.
using RowHook = std::function<void(int part, int row)>;
void step_distances(const FaceGraph& graph, ShortestPathTable& table, int threads, const RowHook& each_row = {});

// The same with the link weights as step lengths: Dijkstra from every face,
// path lengths summed in double and stored as float (the table must not be
// compact).
void weighted_distances(const FaceGraph& graph, ShortestPathTable& table, int threads, const RowHook& each_row = {});
