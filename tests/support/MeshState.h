#pragma once

// A mesh's state as bytes, to tell whether an operation left it exactly as
// it was, and a small mesh every engine has work to do on.
#include <string>

#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"

namespace mesh_state {

inline void add_bits(std::string& out, const Vector& v)
{
    out.append(reinterpret_cast<const char*>(&v.x), 4 * sizeof(float));
}

}  // namespace mesh_state

// Everything an operation may change, as bytes.
inline std::string state_of(const Mesh& m)
{
    using mesh_state::add_bits;
    std::string s = std::to_string(m.nv) + " " + std::to_string(m.nf) + " " + std::to_string(m.picked_face) + " " +
                    std::to_string(m.edge_count) + " " + std::to_string(m.has_colours) + "\n";
    for (int i = 0; i < m.nv; ++i) {
        add_bits(s, m.vertices[i]);
        add_bits(s, m.vertex_colours[i]);
        add_bits(s, m.vertex_normals[i]);
    }
    for (const Face& f : m.faces) {
        s.append(reinterpret_cast<const char*>(f.vi), sizeof f.vi);
        add_bits(s, f.normal);
        add_bits(s, f.colour);
        s += std::to_string(f.marked) + " " + std::to_string(f.group) + ";";
    }
    for (const auto& values : m.morphogen_values)
        s.append(reinterpret_cast<const char*>(values.data()), 4 * values.size());
    for (const std::string& name : m.morphogen_names) s += name + ";";
    s.append(reinterpret_cast<const char*>(m.edges.data()), sizeof(m.edges[0]) * m.edges.size());
    s.append(reinterpret_cast<const char*>(m.edge_faces.data()), sizeof(m.edge_faces[0]) * m.edge_faces.size());
    return s;
}

// The octahedron as OBJ text with one morphogen, "heat", 0.5 at every vertex.
inline std::string octahedron_with_morphogen()
{
    std::string obj = "mn heat\n";
    auto shape = named::octahedron();
    for (const Vector& p : shape->vertices)
        obj += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) + "\nm 0.5\n";
    for (const Face& f : shape->faces)
        obj += "f " + std::to_string(f.vi[0] + 1) + " " + std::to_string(f.vi[1] + 1) + " " +
               std::to_string(f.vi[2] + 1) + "\n";
    return obj;
}
