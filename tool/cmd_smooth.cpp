#include <cstdio>
#include <string>

#include "Commands.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "smoothing/write_face_normals.h"

namespace {

const char* const smooth_usage =
    "usage: halvane-tool smooth --method mean-shift|sphere-jump|median --radius R IN OUT.txt "
    "(R: the panel's radius value, 0 to 100)";

bool parse_method(const std::string& name, int& method)
{
    if (name == "mean-shift")
        method = NormalSmoother::MEAN_SHIFT;
    else if (name == "sphere-jump")
        method = NormalSmoother::SPHERE_JUMP;
    else if (name == "median")
        method = NormalSmoother::MEDIAN_FILTER;
    else
        return false;
    return true;
}

}  // namespace

int cmd_smooth(const Arguments& args)
{
    int method = -1, radius = -1;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool has_value = i + 1 < args.size();
        if (args[i] == "--method") {
            if (!has_value || !parse_method(args[++i], method)) return usage_error(smooth_usage);
        } else if (args[i] == "--radius") {
            if (!has_value || !parse_int(args[++i], radius) || radius < 0 || radius > 100)
                return usage_error(smooth_usage);
        } else {
            files.push_back(args[i]);
        }
    }
    if (method < 0 || radius < 0 || files.size() != 2) return usage_error(smooth_usage);
    if (const int refused = refuse_output(files[1], {files[0]}, {".txt"})) return refused;

    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, files[0])) return 1;
    if (!document.smooth(float(radius), method)) return 1;
    // The median filter's progress bar leaves its line open.
    if (method == NormalSmoother::MEDIAN_FILTER) messages.info("\n");
    return write_face_normals(document.mesh, files[1], messages) ? 0 : 1;
}
