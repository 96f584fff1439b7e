#include "tests/support/ReadMeshFile.h"

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/off_reader.h"
#include "core/ply_reader.h"
#include "core/stl_reader.h"
#include "tests/support/Printed.h"

Read read_mesh_file(Mesh& m, const std::string& path)
{
    Captured console;
    bool ok = false;
    switch (mesh_format_of(path)) {
    case MeshFormat::Obj: ok = m.read_obj(path, console); break;
    case MeshFormat::Net: ok = m.read_net(path, console); break;
    case MeshFormat::Ply: ok = read_ply(m, path, console); break;
    case MeshFormat::Stl: ok = read_stl(m, path, console); break;
    case MeshFormat::Off: ok = read_off(m, path, console); break;
    case MeshFormat::None: break;
    }
    return {ok, console.log.out(), console.log.err()};
}
