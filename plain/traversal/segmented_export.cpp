// Segmented export: each group of faces as a mesh of its own, with its own
// vertex list in which vertices at exactly the same position are written once.
#include <charconv>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/PositionIndex.h"
#include "core/StageProgress.h"
#include "core/text_file.h"
#include "traversal/EdgeTraversal.h"

namespace {

struct FileMesh {
    PositionIndex points;
    std::vector<int> corners;  // three per face, indices into points
};

// The file's vertices and corners for the faces listed, in face and corner
// order. `slot` (one entry per mesh vertex, all -1) caches the file index of
// each mesh vertex already met and is left all -1 again.
void gather(const Mesh& mesh, const std::vector<int>& face_ids, std::vector<int>& slot, FileMesh& out)
{
    out.points.clear();
    out.corners.clear();
    out.corners.reserve(face_ids.size() * 3);

    // Distinct mesh vertices in order of first use; equal positions share
    // one file vertex.
    std::vector<int> used;
    for (const int f : face_ids)
        for (const int v : mesh.faces[f].vi)
            if (slot[v] == -1) {
                slot[v] = out.points.index_of(mesh.vertices[v]);
                used.push_back(v);
            }
    for (const int f : face_ids)
        for (const int v : mesh.faces[f].vi) out.corners.push_back(slot[v]);
    for (const int v : used) slot[v] = -1;
}

// Writes one file beside its target, to be put in place by place_file.
// A cancel on the way removes what was written.
std::unique_ptr<AtomicFile> write_file(const std::string& path, const FileMesh& m, Messages& report)
{
    const std::vector<Vector>& points = m.points.points;
    auto written = std::make_unique<AtomicFile>(path);
    AtomicFile& file = *written;
    report.info(format_text("Saving: %s v:%zu f:%zu\n", path.c_str(), points.size(), m.corners.size()));

    std::string out;
    out.reserve(1 << 16);
    auto pass_on = [&]() {
        if (out.size() > (1 << 16) - 128) {
            report.check_cancelled();
            file.write(out);
            out.clear();
        }
    };
    for (const Vector& p : points) {
        out += "v ";
        append_xyz(out, p);
        out += '\n';
        pass_on();
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
        pass_on();
    }
    file.write(out);
    return written;
}

// Puts a written file in place; false (after a line naming it and the
// reason) when it could not be written completely, leaving any old file as
// it was.
bool place_file(const std::string& path, AtomicFile& file, Messages& report)
{
    if (file.commit()) return true;
    report.error(format_text("ERROR: could not write %s: %s [EdgeTraversal::export_groups()]\n", path.c_str(),
                             file.problem().c_str()),
                 path);
    return false;
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

    // Every file is written beside its target before any is put in place,
    // so an export cancelled on the way leaves the folder as it was.
    std::vector<int> slot(std::size_t(m.nv), -1);
    FileMesh file;
    std::vector<std::pair<std::string, std::unique_ptr<AtomicFile>>> written;
    StageProgress stage(messages, "Writing groups", groups + 1, groups + 1);
    auto write = [&](const std::string& name, const std::vector<int>& face_ids) {
        stage.at(static_cast<long long>(written.size()));
        gather(m, face_ids, slot, file);
        written.emplace_back(prefix + name, write_file(prefix + name, file, messages));
    };
    write("non-segemented.obj", members[0]);
    for (int g = 1; g < groups; ++g) write("object_" + std::to_string(g) + ".obj", members[g]);
    write("segemented.obj", grouped);
    stage.at(groups + 1);
    int failed = 0;
    for (auto& [path, done] : written)
        if (!place_file(path, *done, messages)) ++failed;

    messages.info(format_text("Segmented export: %d of %d files failed\n", failed, groups + 1));
    return failed;
}

bool write_face_selection(const Mesh& mesh, const std::vector<int>& face_ids, const std::string& path, Messages& out)
{
    std::vector<int> slot(std::size_t(mesh.nv), -1);
    FileMesh file;
    gather(mesh, face_ids, slot, file);
    return place_file(path, *write_file(path, file, out), out);
}
