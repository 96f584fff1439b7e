#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

int cmd_convert(const Arguments& args)
{
    if (args.size() != 2) return usage_error("usage: halvane-tool convert IN OUT.obj|OUT.ply");
    if (const int refused = refuse_output(args[1], {args[0]}, {".obj", ".ply"})) return refused;
    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, args[0])) return 1;
    return write_for_tool(document, args[1], args[0]) ? 0 : 1;
}
