#include "tests/support/DocumentState.h"

#include <vector>

#include "document/MeshDocument.h"

namespace {

template <class T>
void add_bits(std::string& out, const T& value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T>
void add_bits(std::string& out, const std::vector<T>& values)
{
    add_bits(out, values.size());
    out.append(reinterpret_cast<const char*>(values.data()), sizeof(T) * values.size());
}

void add_vectors(std::string& out, const std::vector<Vector>& values)
{
    add_bits(out, values.size());
    for (const Vector& v : values) out.append(reinterpret_cast<const char*>(&v.x), 4 * sizeof(float));
}

}  // namespace

std::string mesh_state(const Mesh& m)
{
    std::string s = std::to_string(m.nv) + " " + std::to_string(m.nf) + " " + std::to_string(m.picked_face) + " " +
                    std::to_string(m.edge_count) + " " + std::to_string(m.has_colours) + "\n";
    for (int i = 0; i < m.nv; ++i) {
        add_vectors(s, {m.vertices[i], m.vertex_colours[i], m.vertex_normals[i]});
    }
    for (const Face& f : m.faces) {
        s.append(reinterpret_cast<const char*>(f.vi), sizeof f.vi);
        add_vectors(s, {f.normal, f.colour});
        s += std::to_string(f.marked) + std::to_string(f.group);
    }
    for (const auto& values : m.morphogen_values) add_bits(s, values);
    for (const std::string& name : m.morphogen_names) s += name + ";";
    add_bits(s, m.edges);
    add_bits(s, m.edge_faces);
    return s;
}

std::string document_state(const MeshDocument& d)
{
    const Mesh& m = d.mesh;
    // The Reload copy as the mesh it gives back.
    Mesh kept;
    d.backup.restore(kept);
    std::string s =
        mesh_state(m) + "|" + mesh_state(kept) + "|" + d.file_name + "|" + std::to_string(d.placement) + "|";
    add_vectors(s, m.centroids);
    add_vectors(s, m.texcoords);
    add_vectors(s, {m.centre});
    add_bits(s, m.extent);
    add_bits(s, m.edge_more_faces);

    const Mesh_Classifier& c = d.classifier;
    add_bits(s, c.rebuild);
    add_bits(s, c.sp_mode);
    add_bits(s, c.weight);
    add_bits(s, c.table.n);
    add_bits(s, c.table.compact);
    add_bits(s, c.table.dist);
    add_bits(s, c.table.steps);
    add_bits(s, c.seeds);
    add_bits(s, c.num_patches);
    add_bits(s, c.max_patches);
    add_bits(s, c.face_patch);
    for (const auto& p : c.probabilities) add_bits(s, p);
    add_vectors(s, c.patch_colours);

    const NormalSmoother& n = d.smoother;
    add_vectors(s, {n.kernel, n.centre, n.centroid_sum, n.normal_sum});
    add_bits(s, n.algorithm);
    add_bits(s, n.processed);
    add_bits(s, n.seed);
    add_bits(s, n.restart_needed);
    add_bits(s, n.regions.size());
    add_bits(s, n.weight_mode);
    add_bits(s, n.progress.next_at);

    add_bits(s, d.traversal.group_count);
    add_bits(s, d.traversal.depth);
    add_bits(s, d.traversal.angle);
    add_bits(s, d.subdivider.weight);
    add_bits(s, d.subdivider.levels);
    return s;
}
