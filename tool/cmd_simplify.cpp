#include <cstdio>

#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

int cmd_simplify(const Arguments& args)
{
    const char* usage = "usage: halvane-tool simplify --percent P IN OUT.obj|OUT.ply";
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
    if (const int refused = refuse_output(files[1], {files[0]}, {".obj", ".ply"})) return refused;

    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, files[0])) return 1;
    const Mesh& mesh = document.mesh;
    const int nv = mesh.nv, nf = mesh.nf;
    if (!document.simplify(percent)) return 1;
    std::printf("vertices: %d -> %d\nfaces: %d -> %d\n", nv, mesh.nv, nf, mesh.nf);
    return write_for_tool(document, files[1], files[0]) ? 0 : 1;
}
