#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"

namespace {

const char* const synopsis =
    "usage: halvane-tool classify IN.obj [--patches K] [--weight W] [--mode floyd|dijkstra] "
    "[--save-table F.spt | --load-table F.spt] OUT_DIR";

}  // namespace

int cmd_classify(const Arguments& args)
{
    std::vector<std::string> plain;
    int patches = 0;
    double weight = 0.5;
    int mode = 0;
    std::string save_table, load_table;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            plain.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) return usage_error(a + " needs a value\n" + synopsis);
        const std::string& value = args[++i];
        if (a == "--patches") {
            if (!parse_int(value, patches) || patches < 1 || patches > 50)
                return usage_error("--patches takes a whole number from 1 to 50");
        } else if (a == "--weight") {
            float w = 0.0f;
            if (!parse_float(value, w) || !(w >= 0.0f && w <= 1.0f))
                return usage_error("--weight takes a number from 0 to 1");
            weight = w;
        } else if (a == "--mode") {
            if (value != "floyd" && value != "dijkstra") return usage_error("--mode is floyd or dijkstra");
            mode = value == "floyd" ? 0 : 1;
        } else if (a == "--save-table") {
            save_table = value;
        } else if (a == "--load-table") {
            load_table = value;
        } else {
            return usage_error("unknown option " + a + "\n" + synopsis);
        }
    }
    if (plain.size() != 2) return usage_error(synopsis);
    if (!save_table.empty() && !load_table.empty())
        return usage_error("--save-table and --load-table exclude each other");
    if (!save_table.empty())
        if (const int refused = refuse_output(save_table, {plain[0]}, {".spt"})) return refused;
    if (const int refused = refuse_output(plain[1], {plain[0], load_table}, {})) return refused;

    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, plain[0])) return 1;
    const Mesh& mesh = document.mesh;
    if (mesh.nv == 0 || mesh.nf == 0) {
        messages.error_on_stderr("ERROR: " + plain[0] + ": the mesh has no faces to classify\n", plain[0]);
        return 1;
    }

    // The panel's settings, then its buttons in the order a user presses them.
    Mesh_Classifier& classifier = document.classifier;
    classifier.sp_mode = mode;
    classifier.weight = weight;
    if (!load_table.empty() && !document.load_table(load_table)) return 1;
    if (!document.classify()) return 1;
    if (!save_table.empty() && !document.save_table(save_table)) return 1;

    const int k = patches > 0 ? patches : classifier.num_patches;
    if (k < 1) {
        std::printf("No patches found; nothing written\n");
        return 0;
    }
    document.show_patches(k);
    std::vector<std::vector<int>> members(static_cast<std::size_t>(k));
    for (int f = 0; f < mesh.nf; ++f) members[classifier.face_patch[f]].push_back(f);
    if (!make_folder(plain[1], messages)) return 1;
    bool ok = true;
    int empty = 0;
    for (int p = 0; p < k; ++p) {
        // A patch no face chose has no mesh to write.
        if (members[p].empty()) {
            ++empty;
            continue;
        }
        ok = write_face_selection(mesh, members[p], plain[1] + "/patch_" + std::to_string(p) + ".obj", messages) && ok;
    }
    if (empty > 0) std::printf("%d of %d patches are empty; no file was written for them\n", empty, k);
    return ok ? 0 : 1;
}
