#include <cstdio>

#include "core/Mesh.h"
#include "tool/Commands.h"

int cmd_convert(const Arguments& args)
{
    if (args.size() != 2) return usage_error("usage: halvane-tool convert IN OUT.obj");
    Mesh mesh;
    if (!load_for_tool(mesh, args[0])) return 1;
    if (mesh.nv == 0 || mesh.nf == 0) {
        mesh.write_obj(args[1]);
        std::fprintf(stderr, "ERROR: %s: the mesh has no vertices or no faces; nothing written\n",
                     args[0].c_str());
        return 1;
    }
    return mesh.write_obj(args[1]) ? 0 : 1;
}
