// Segmented export: each group of faces as a mesh of its own, with its own
// vertex list in which vertices at exactly the same position are written once.
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_file.h"
#include "traversal/EdgeTraversal.h"

namespace {

struct FileMesh {
    std::vector<Vector> points;
    std::vector<int> corners;  // three per face, indices into points
};

std::uint32_t key_bits(float f)
{
    f += 0.0f;  // -0 and +0 are the same position
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

std::size_t position_hash(const Vector& p)
{
    std::uint64_t h = key_bits(p.x);
    h = h * 0x9E3779B97F4A7C15ull ^ key_bits(p.y);
    h = h * 0x9E3779B97F4A7C15ull ^ key_bits(p.z);
    h *= 0xBF58476D1CE4E5B9ull;
    return std::size_t(h ^ (h >> 31));
}

// The file's vertices and corners for the faces listed, in face and corner
// order. `slot` (one entry per mesh vertex, all -1) caches the file index of
// each mesh vertex already met and is left all -1 again.
void gather(const Mesh& mesh, const std::vector<int>& face_ids, std::vector<int>& slot, FileMesh& out)
{
    out.points.clear();
    out.corners.clear();
    out.corners.reserve(face_ids.size() * 3);

    // Distinct mesh vertices in order of first use.
    std::vector<int> used;
    for (const int f : face_ids)
        for (const int v : mesh.faces[f].vi)
            if (slot[v] == -1) {
                slot[v] = -2;
                used.push_back(v);
            }

    // Equal positions share one file vertex (open addressing, load <= 1/2).
    std::size_t capacity = 16;
    while (capacity < used.size() * 2) capacity *= 2;
    std::vector<int> table(capacity, -1);
    for (const int v : used) {
        const Vector& p = mesh.vertices[v];
        std::size_t h = position_hash(p) & (capacity - 1);
        while (table[h] != -1 && !(out.points[table[h]] == p)) h = (h + 1) & (capacity - 1);
        if (table[h] == -1) {
            table[h] = int(out.points.size());
            out.points.push_back(p);
        }
        slot[v] = table[h];
    }

    for (const int f : face_ids)
        for (const int v : mesh.faces[f].vi) out.corners.push_back(slot[v]);
    for (const int v : used) slot[v] = -1;
}

// Writes one file; false (after a line naming it) when it could not be
// opened or written completely.
bool write_file(const std::string& path, const FileMesh& m, Messages& report)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        report.error(format_text("ERROR: could not open %s for writing: %s [EdgeTraversal::export_groups()]\n",
                                 path.c_str(), std::strerror(errno)),
                     path);
        return false;
    }
    report.info(format_text("Saving: %s v:%zu f:%zu\n", path.c_str(), m.points.size(), m.corners.size()));

    bool ok = true;
    int err = 0;
    std::string out;
    out.reserve(1 << 20);
    auto flush = [&]() {
        if (ok && !out.empty() && std::fwrite(out.data(), 1, out.size(), f) != out.size()) {
            ok = false;
            err = errno;
        }
        out.clear();
    };
    for (const Vector& p : m.points) {
        out += "v ";
        append_float(out, p.x);
        out += ' ';
        append_float(out, p.y);
        out += ' ';
        append_float(out, p.z);
        out += '\n';
        if (out.size() > (1 << 20) - 128) flush();
    }
    // Corners last first; each index stands for vertex, texture and normal.
    for (std::size_t i = 0; i + 2 < m.corners.size(); i += 3) {
        out += 'f';
        for (int k = 2; k >= 0; --k) {
            char n[16];
            const std::size_t len = std::size_t(std::to_chars(n, n + sizeof n, m.corners[i + k] + 1).ptr - n);
            out += ' ';
            out.append(n, len);
            out += '/';
            out.append(n, len);
            out += '/';
            out.append(n, len);
        }
        out += '\n';
        if (out.size() > (1 << 20) - 128) flush();
    }
    flush();
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok)
        report.error(format_text("ERROR: could not write %s completely: %s [EdgeTraversal::export_groups()]\n",
                                 path.c_str(), std::strerror(err)),
                     path);
    return ok;
}

}  // namespace

int EdgeTraversal::export_groups(const std::string& directory) const
{
    const Mesh no_mesh;
    const Mesh& m = mesh ? *mesh : no_mesh;
    const std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";

    // Faces by group: 0 .. group_count, then every grouped face.
    const int groups = std::max(group_count, 0) + 1;
    std::vector<std::vector<int>> members(groups);
    std::vector<int> grouped;
    for (int i = 0; i < m.nf; ++i) {
        const int g = m.faces[i].group;
        if (g >= 0 && g < groups) members[g].push_back(i);
        if (g > 0) grouped.push_back(i);
    }

    std::vector<int> slot(std::size_t(m.nv), -1);
    FileMesh file;
    int failed = 0;
    auto write = [&](const std::string& name, const std::vector<int>& face_ids) {
        gather(m, face_ids, slot, file);
        if (!write_file(prefix + name, file, messages)) ++failed;
    };
    write("non-segemented.obj", members[0]);
    for (int g = 1; g < groups; ++g) write("object_" + std::to_string(g) + ".obj", members[g]);
    write("segemented.obj", grouped);

    messages.info(format_text("Segmented export: %d of %d files failed\n", failed, groups + 1));
    return failed;
}

bool write_face_selection(const Mesh& mesh, const std::vector<int>& face_ids, const std::string& path, Messages& out)
{
    std::vector<int> slot(std::size_t(mesh.nv), -1);
    FileMesh file;
    gather(mesh, face_ids, slot, file);
    return write_file(path, file, out);
}
