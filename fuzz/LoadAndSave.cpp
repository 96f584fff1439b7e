#include "fuzz/LoadAndSave.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"

namespace {

// The directory lives as long as the fuzzing process; libFuzzer runs inputs
// one at a time, so one input file and one output file are enough.
const std::string& work_directory()
{
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/halvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return dir;
}

}  // namespace

bool finite_positions(const Mesh& mesh)
{
    for (const Vector& p : mesh.vertices)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    return true;
}

void check_reads_back(const std::string& path, const Mesh& written, const std::vector<int>& faces, bool reversed,
                      const char* what)
{
    // The reader alone: what the file says, before the orientation pass.
    Messages quiet;
    Mesh back;
    std::string problem;
    if (!back.read_obj(path, quiet))
        problem = "does not read back";
    else if (back.nf != int(faces.size()))
        problem = "reads back " + std::to_string(back.nf) + " faces of " + std::to_string(faces.size());
    for (int i = 0; problem.empty() && i < back.nf; ++i)
        for (int k = 0; k < 3; ++k) {
            const Vector& p = written.vertices[written.faces[faces[i]].vi[reversed ? 2 - k : k]];
            if (std::memcmp(&back.vertices[back.faces[i].vi[k]].x, &p.x, 3 * sizeof(float)) != 0)
                problem = "face " + std::to_string(i) + " corner " + std::to_string(k) + " moved";
        }
    if (problem.empty()) return;
    std::fprintf(stderr, "after %s: %s %s\n", what, path.c_str(), problem.c_str());
    std::abort();
}

std::vector<int> all_faces(const Mesh& mesh)
{
    std::vector<int> all(static_cast<std::size_t>(mesh.nf));
    for (int i = 0; i < mesh.nf; ++i) all[i] = i;
    return all;
}

std::string work_file(const std::string& name)
{
    return work_directory() + "/" + name;
}

std::string write_input(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const std::string input = work_file(std::string("input") + extension);
    std::FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
    return input;
}

int load_and_save(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const std::string input = write_input(data, size, extension);

    Messages console;
    Mesh mesh;
    if (load_mesh_file(mesh, input, console) == LoadResult::Loaded) {
        mesh.build({MESH_CENTRE, MESH_VERTEX_NORMALS, MESH_FACE_NORMALS, MESH_TEXCOORDS, MESH_EDGE_LIST, MESH_CENTROIDS,
                    MESH_BB},
                   console);
        const std::string output = work_directory() + "/output.obj";
        // A number too big for a float reads as infinity, which the writer
        // writes as "inf" and no reader takes: only finite meshes read back.
        if (mesh.write_obj(output, console) && finite_positions(mesh))
            check_reads_back(output, mesh, all_faces(mesh), false, "saving");
        auto copy = mesh.clone();
        copy->build({MESH_EDGE_LIST}, console);
    }
    std::remove(input.c_str());
    return 0;
}
