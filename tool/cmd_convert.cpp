#include "core/Mesh.h"
#include "Commands.h"

int cmd_convert(const Arguments& args)
{
    if (args.size() != 2) return usage_error("usage: halvane-tool convert IN OUT.obj");
    Mesh mesh;
    if (!load_for_tool(mesh, args[0])) return 1;
    return write_for_tool(mesh, args[1], args[0]) ? 0 : 1;
}
