#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

int cmd_subdivide(const Arguments& args)
{
    const char* usage = "usage: halvane-tool subdivide --level L [--weight W] IN OUT.obj|OUT.ply";
    int level = 0;
    float weight = 0.0f;
    Arguments files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--level" && i + 1 < args.size()) {
            if (!parse_int(args[++i], level) || level < 1)
                return usage_error("--level needs a whole number of 1 or more");
        } else if (args[i] == "--weight" && i + 1 < args.size()) {
            if (!parse_float(args[++i], weight) || !std::isfinite(weight))
                return usage_error("--weight needs a number");
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2 || level < 1) return usage_error(usage);
    if (const int refused = refuse_output(files[1], {files[0]}, {".obj", ".ply"})) return refused;

    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, files[0])) return 1;
    const Mesh& mesh = document.mesh;
    const int nv = mesh.nv, nf = mesh.nf;
    if (!document.subdivide(level, weight)) return 1;
    std::printf("vertices: %d -> %d\nfaces: %d -> %d\n", nv, mesh.nv, nf, mesh.nf);
    return write_for_tool(document, files[1], files[0]) ? 0 : 1;
}
