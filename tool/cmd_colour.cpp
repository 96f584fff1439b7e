#include <algorithm>
#include <cstdio>

#include "colouring/MorphogenSettings.h"
#include "colouring/ply_file.h"
#include "Commands.h"
#include "core/Messages.h"
#include "core/text_file.h"
#include "document/MeshDocument.h"

int cmd_colour(const Arguments& args)
{
    Arguments files;
    PlyFormat format = PlyFormat::Ascii;
    for (const std::string& a : args) {
        if (a == "--binary")
            format = PlyFormat::BinaryLittleEndian;
        else
            files.push_back(a);
    }
    if (files.size() != 3) return usage_error("usage: halvane-tool colour IN.obj SETTINGS.mor OUT.ply [--binary]");
    if (const int refused = refuse_output(files[2], {files[0], files[1]}, {".ply"})) return refused;
    Messages messages;
    MeshDocument document(messages);
    if (!load_for_tool(document, files[0])) return 1;
    const Mesh& mesh = document.mesh;

    // The panel's state after the mesh is read: every morphogen off and red.
    MorphogenSettings settings;
    settings.reset(mesh.morphogen_names);
    if (settings.read(files[1], messages) != MorphogenSettings::Load::Loaded) return 1;
    if (!document.colour_by_morphogens(settings.mix_mode, settings.toggles, settings.colours, settings.base_colour))
        return 1;

    for (std::size_t i = 0; i < mesh.morphogen_names.size(); ++i) {
        float lo = 0.0f, hi = 0.0f;
        bool any = false;
        for (const auto& values : mesh.morphogen_values) {
            if (i >= values.size()) continue;
            lo = any ? std::min(lo, values[i]) : values[i];
            hi = any ? std::max(hi, values[i]) : values[i];
            any = true;
        }
        if (any)
            std::printf("%s: %s to %s\n", mesh.morphogen_names[i].c_str(), float_text(lo).c_str(),
                        float_text(hi).c_str());
        else
            std::printf("%s: no values\n", mesh.morphogen_names[i].c_str());
    }
    return write_ply(mesh, files[2], format, messages) ? 0 : 1;
}
