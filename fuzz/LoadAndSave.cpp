#include "fuzz/LoadAndSave.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "colouring/ply_file.h"
#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/ply_reader.h"

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

void check_reads_back(const std::string& path, const Mesh& written, const std::vector<int>& faces, bool exported,
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
            const Vector& p = written.vertices[written.faces[faces[i]].vi[exported ? 2 - k : k]];
            const Vector& q = back.vertices[back.faces[i].vi[k]];
            const bool same = exported ? p.x == q.x && p.y == q.y && p.z == q.z
                                       : std::memcmp(&q.x, &p.x, 3 * sizeof(float)) == 0;
            if (!same)
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

namespace {

// The fields a save keeps, compared exactly; colours only where the mesh
// has them, and, for PLY, as the bytes the file holds.
void expect_same(const Mesh& saved, const Mesh& back, bool colour_bytes_only)
{
    if (back.nv != saved.nv || back.nf != saved.nf || back.has_colours != saved.has_colours) __builtin_trap();
    for (int i = 0; i < saved.nv; ++i) {
        const Vector& a = saved.vertices[i];
        const Vector& b = back.vertices[i];
        if (std::memcmp(&a.x, &b.x, 4) || std::memcmp(&a.y, &b.y, 4) || std::memcmp(&a.z, &b.z, 4)) __builtin_trap();
        if (!saved.has_colours) continue;
        Vector c = saved.vertex_colours[i];
        if (colour_bytes_only) {
            const Rgb rgb = colour_bytes(c);
            c = Vector(rgb.r / 255.0f, rgb.g / 255.0f, rgb.b / 255.0f);
        }
        const Vector& d = back.vertex_colours[i];
        if (std::memcmp(&c.x, &d.x, 4) || std::memcmp(&c.y, &d.y, 4) || std::memcmp(&c.z, &d.z, 4)) __builtin_trap();
    }
    for (int i = 0; i < saved.nf; ++i)
        if (std::memcmp(saved.faces[i].vi, back.faces[i].vi, sizeof saved.faces[i].vi)) __builtin_trap();
    const std::size_t count = saved.morphogen_values.empty() ? 0 : saved.morphogen_values[0].size();
    for (std::size_t i = 0; i < std::size_t(saved.nv) && count > 0; ++i)
        if (back.morphogen_values.size() <= i || back.morphogen_values[i].size() != count ||
            std::memcmp(back.morphogen_values[i].data(), saved.morphogen_values[i].data(), 4 * count))
            __builtin_trap();
}

}  // namespace

int load_and_save(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const std::string input = write_input(data, size, extension);

    Messages console;
    Mesh mesh;
    if (load_mesh_file(mesh, input, console) == LoadResult::Loaded) {
        mesh.build({MESH_CENTRE, MESH_VERTEX_NORMALS, MESH_FACE_NORMALS, MESH_TEXCOORDS, MESH_EDGE_LIST, MESH_CENTROIDS,
                    MESH_BB},
                   console);
        auto copy = mesh.clone();
        copy->build({MESH_EDGE_LIST}, console);
        // What the program writes, its own readers take back unchanged.
        // The writers refuse a mesh without faces.
        if (mesh.nv > 0 && mesh.nf > 0) {
            Mesh back;
            const std::string obj = work_directory() + "/output.obj", ply = work_directory() + "/output.ply";
            if (!mesh.write_obj(obj, console) || !back.read_obj(obj, console)) __builtin_trap();
            expect_same(mesh, back, false);
            if (back.morphogen_names != mesh.morphogen_names) __builtin_trap();
            if (!write_ply(mesh, ply, PlyFormat::BinaryLittleEndian, console) || !read_ply(back, ply, console))
                __builtin_trap();
            expect_same(mesh, back, true);
        }
    }
    std::remove(input.c_str());
    return 0;
}
