#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

namespace {

const char* const usage = "usage: halvane-tool segment IN --seed FACE --depth D --angle A [--seed FACE ...]... OUT_DIR";

struct Seed {
    int face;
    int depth;
    int angle;
};

}  // namespace

// Grows and commits one group per seed, as a middle click and "Mark Current"
// do in the view, then writes the segmented export into OUT_DIR. A --depth
// or --angle applies to the seed it follows and to later seeds until given
// again; before the first seed it sets the starting values (depth 0, angle 1).
int cmd_segment(const Arguments& args)
{
    // IN, then option and value pairs, then OUT_DIR.
    if (args.size() < 4 || args.size() % 2 != 0) return usage_error(usage);
    std::vector<Seed> seeds;
    int depth = 0, angle = 1;
    for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
        const std::string& option = args[i];
        int value = 0;
        if (!parse_int(args[i + 1], value))
            return usage_error(option + " needs an integer, not \"" + args[i + 1] + "\"\n" + usage);
        if (option == "--seed") {
            if (value < 1) return usage_error("--seed takes a face number from 1 (as \"Selected\" prints)");
            seeds.push_back({value, depth, angle});
        } else if (option == "--depth" || option == "--angle") {
            if (value < 0) return usage_error(option + " must not be negative");
            (option == "--depth" ? depth : angle) = value;
            if (!seeds.empty()) (option == "--depth" ? seeds.back().depth : seeds.back().angle) = value;
        } else {
            return usage_error("unknown option \"" + option + "\"\n" + usage);
        }
    }
    if (seeds.empty()) return usage_error("no --seed given\n" + std::string(usage));
    const std::string& out_dir = args.back();
    if (out_dir.rfind("--", 0) == 0) return usage_error("the last argument must be OUT_DIR\n" + std::string(usage));
    if (const int refused = refuse_output(out_dir, {args[0]}, {})) return refused;

    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, args[0])) return 1;
    Mesh& mesh = document.mesh;
    for (const Seed& s : seeds)
        if (s.face > mesh.nf)
            return usage_error("--seed " + std::to_string(s.face) + " is not a face of " + args[0] + " (1 to " +
                               std::to_string(mesh.nf) + ")");

    for (const Seed& s : seeds) {
        mesh.picked_face = s.face;
        const int marked = document.traverse(s.depth, s.angle);
        if (marked < 0) return 1;
        document.mark_current();
        std::printf("group %d: %d faces from face %d (depth %d, angle %d)\n", document.traversal.group_count, marked,
                    s.face, s.depth, s.angle);
    }
    if (!make_folder(out_dir, messages)) return 1;
    return document.export_groups(out_dir) == 0 ? 0 : 1;
}
