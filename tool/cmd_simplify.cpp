#include <cstdio>

#include "core/Mesh.h"
#include "remeshing/simplify.h"
#include "Commands.h"

int cmd_simplify(const Arguments& args)
{
    const char* usage = "usage: halvane-tool simplify --percent P IN OUT.obj";
    float percent = -1.0f;
    Arguments files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--percent" && i + 1 < args.size()) {
            if (!parse_float(args[++i], percent) || !(percent >= 0.0f && percent <= 100.0f))
                return usage_error("--percent needs a number from 0 to 100");
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2 || percent < 0.0f) return usage_error(usage);

    Mesh mesh;
    if (!load_for_tool(mesh, files[0])) return 1;
    const int nv = mesh.nv, nf = mesh.nf;
    simplify_mesh(mesh, percent);
    std::printf("vertices: %d -> %d\nfaces: %d -> %d\n", nv, mesh.nv, nf, mesh.nf);
    return write_for_tool(mesh, files[1], files[0]) ? 0 : 1;
}
