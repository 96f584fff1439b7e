#include "fuzz/LoadAndSave.h"

#include <cstdio>
#include <cstdlib>
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
        mesh.write_obj(work_directory() + "/output.obj", console);
        auto copy = mesh.clone();
        copy->build({MESH_EDGE_LIST}, console);
    }
    std::remove(input.c_str());
    return 0;
}
