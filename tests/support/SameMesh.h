#pragma once

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "core/Mesh.h"

// Two meshes field by field, bit for bit (each Vector with its length
// cache): what was read, the faces with every field,
// and every piece of derived data with its freshness. The pick, which
// "Reload" carries over, is left out.
namespace same_mesh {

template <typename T>
bool same_bytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

inline bool same_vector(const Vector& a, const Vector& b)
{
    return std::memcmp(&a, &b, sizeof(Vector)) == 0;
}

template <typename T>
bool same_lists(const IndexLists<T>& a, const IndexLists<T>& b)
{
    return a.offsets == b.offsets && a.items == b.items;
}

}  // namespace same_mesh

inline void expect_same_mesh_fields(const Mesh& a, const Mesh& b)
{
    using namespace same_mesh;
    ASSERT_EQ(a.nv, b.nv);
    ASSERT_EQ(a.nf, b.nf);
    EXPECT_TRUE(same_bytes(a.vertices, b.vertices));
    EXPECT_TRUE(same_bytes(a.vertex_normals, b.vertex_normals));
    EXPECT_TRUE(same_bytes(a.vertex_colours, b.vertex_colours));
    EXPECT_EQ(a.has_colours, b.has_colours);
    EXPECT_TRUE(same_bytes(a.texcoords, b.texcoords));
    EXPECT_TRUE(same_bytes(a.centroids, b.centroids));
    EXPECT_EQ(a.morphogen_values, b.morphogen_values);
    EXPECT_EQ(a.morphogen_names, b.morphogen_names);
    EXPECT_TRUE(same_vector(a.centre, b.centre));
    EXPECT_EQ(std::memcmp(&a.extent, &b.extent, sizeof a.extent), 0);
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(same_vector(a.bbox[k], b.bbox[k])) << "corner " << k;
    int differing = 0;
    for (int i = 0; i < a.nf; ++i) {
        const Face& f = a.faces[i];
        const Face& g = b.faces[i];
        bool same = same_vector(f.normal, g.normal) && same_vector(f.colour, g.colour) && f.marked == g.marked &&
                    f.group == g.group && a.face_list[i] == &f && b.face_list[i] == &g;
        for (int k = 0; k < 3; ++k)
            same = same && f.vi[k] == g.vi[k] && f.v[k] == &a.vertices[f.vi[k]] && g.v[k] == &b.vertices[g.vi[k]];
        differing += !same;
    }
    EXPECT_EQ(differing, 0) << "faces differ";
    EXPECT_EQ(a.edge_count, b.edge_count);
    EXPECT_EQ(a.edges, b.edges);
    EXPECT_EQ(a.edge_faces, b.edge_faces);
    EXPECT_EQ(a.edge_more_faces, b.edge_more_faces);
    EXPECT_EQ(a.edge_table.count, b.edge_table.count);
    EXPECT_TRUE(same_lists(a.edge_table.vertex_links, b.edge_table.vertex_links));
    EXPECT_TRUE(same_lists(a.edge_table.face_links, b.edge_table.face_links));
    // The same places in `edges` and `edge_faces` are the same pointers.
    EXPECT_TRUE(same_lists(a.vertex_neighbours.places, b.vertex_neighbours.places));
    EXPECT_TRUE(same_lists(a.face_neighbours.places, b.face_neighbours.places));
    for (int flag :
         {MESH_CENTRE, MESH_VERTEX_NORMALS, MESH_FACE_NORMALS, MESH_TEXCOORDS, MESH_EDGE_LIST, MESH_CENTROIDS, MESH_BB})
        EXPECT_EQ(a.is_current(flag), b.is_current(flag)) << "flag " << flag;
}
