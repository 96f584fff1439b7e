#include <algorithm>
#include <cstdio>

#include "Commands.h"
#include "core/Messages.h"
#include "core/survey_mesh.h"
#include "core/text_file.h"
#include "document/MeshDocument.h"

int cmd_info(const Arguments& args)
{
    if (args.size() != 1) return usage_error("usage: halvane-tool info FILE");
    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, args[0])) return 1;
    const Mesh& mesh = document.mesh;

    const MeshSurvey survey = survey_mesh(mesh);
    std::printf("file: %s\n", args[0].c_str());
    std::printf("vertices: %d\nfaces: %d\nedges: %d\nborder edges: %d\n", mesh.nv, mesh.nf, mesh.edge_count,
                survey.border_edges);
    if (mesh.nv > 0) {
        const Vector& lo = mesh.bbox[4];
        const Vector& hi = mesh.bbox[1];
        std::printf("bounding box: (%s, %s, %s) to (%s, %s, %s)\nextent: %s\n", float_text(lo.x).c_str(),
                    float_text(lo.y).c_str(), float_text(lo.z).c_str(), float_text(hi.x).c_str(),
                    float_text(hi.y).c_str(), float_text(hi.z).c_str(), float_text(mesh.extent).c_str());
    }
    const std::size_t fields = mesh.morphogen_values.empty() ? 0 : mesh.morphogen_values[0].size();
    const std::size_t shown = std::max(fields, mesh.morphogen_names.size());
    std::printf("morphogens: %zu\n", shown);
    for (std::size_t j = 0; j < shown; ++j) {
        const std::string name = j < mesh.morphogen_names.size() ? mesh.morphogen_names[j] : "(unnamed)";
        if (j >= fields || mesh.morphogen_values.empty()) {
            std::printf("  %s: no values\n", name.c_str());
            continue;
        }
        float lo = mesh.morphogen_values[0][j], hi = lo;
        for (const auto& values : mesh.morphogen_values) {
            lo = std::min(lo, values[j]);
            hi = std::max(hi, values[j]);
        }
        std::printf("  %s: min %s max %s\n", name.c_str(), float_text(lo).c_str(), float_text(hi).c_str());
    }
    std::printf("non-manifold edges: %d\ndegenerate faces: %d\nconnected parts: %d\n", survey.non_manifold_edges,
                survey.degenerate_faces, survey.connected_parts);
    return 0;
}
