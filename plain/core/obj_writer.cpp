// OBJ writer: the morphogen names ("mn"), positions, vertex colours ("vc",
// when the mesh has colours), morphogen values ("m", one line per vertex)
// and faces in the "a/a/" form. Floats are written in the shortest text that
// reads back to the same float, so a saved mesh reads back bit for bit. The
// file is replaced only when it was written completely.
#include <string>

#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/non_finite_value.h"
#include "core/StageProgress.h"
#include "core/text_file.h"

bool Mesh::write_obj(const std::string& path, Messages& report) const
{
    report.info(format_text("%d, %d\n", nv, nf));
    if (nv == 0 || nf == 0) return false;
    report.info("\tMESH: Saving " + path + "...");
    auto failed = [&](const std::string& reason) {
        report.error(format_text("\nERROR: could not write %s: %s [Mesh::write_obj()]\n", path.c_str(), reason.c_str()),
                     path);
        return false;
    };
    // Our own reader refuses such numbers; a file it cannot read back is
    // not written.
    const std::string bad = non_finite_value(*this);
    if (!bad.empty()) return failed(bad + "; nothing written");

    AtomicFile file(path);
    std::string out;
    out.reserve(1 << 16);
    const std::size_t morphogens = morphogen_values.empty() ? 0 : morphogen_values[0].size();
    const long long lines = (long long)nv * (1 + (has_colours ? 1 : 0) + (morphogens > 0 ? 1 : 0)) + nf;
    StageProgress stage(report, "Saving", lines);
    long long line = 0;
    auto pass_on = [&]() {
        // A cancel leaves the old file: the unfinished one goes with `file`.
        stage.at(++line);
        if (out.size() > (1 << 16) - 256) {
            file.write(out);
            out.clear();
        }
    };
    // The reader takes the names from "mn" and the count of values from
    // the first "m" line.
    if (!morphogen_names.empty()) {
        out += "mn";
        for (const std::string& name : morphogen_names) out += ' ' + name;
        out += '\n';
    }
    for (int i = 0; i < nv; ++i) {
        out += "v ";
        append_xyz(out, vertices[std::size_t(i)]);
        out += '\n';
        pass_on();
    }
    if (has_colours)
        for (int i = 0; i < nv && std::size_t(i) < vertex_colours.size(); ++i) {
            out += "vc ";
            append_xyz(out, vertex_colours[std::size_t(i)]);
            out += '\n';
            pass_on();
        }
    if (morphogens > 0)
        for (int i = 0; i < nv && std::size_t(i) < morphogen_values.size(); ++i) {
            const std::vector<float>& values = morphogen_values[std::size_t(i)];
            out += 'm';
            // Every line has the first line's count, which the reader demands.
            for (std::size_t k = 0; k < morphogens; ++k) {
                out += ' ';
                append_float(out, k < values.size() ? values[k] : 0.0f);
            }
            out += '\n';
            pass_on();
        }
    for (int i = 0; i < nf; ++i) {
        const int* vi = faces[std::size_t(i)].vi;
        const std::string a = std::to_string(vi[0] + 1), b = std::to_string(vi[1] + 1), c = std::to_string(vi[2] + 1);
        out += "f " + a + "/" + a + "/ " + b + "/" + b + "/ " + c + "/" + c + "/\n";
        pass_on();
    }
    file.write(out);
    if (!file.commit()) return failed(file.problem());
    report.info(" done...\n");
    return true;
}
