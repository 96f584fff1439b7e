// OBJ writer: positions and faces only, each face in the "a/a/" form.
// Floats are written in the shortest text that reads back to the same float,
// so a saved mesh reads back bit for bit.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_file.h"

bool Mesh::write_obj(const std::string& path, Messages& report) const
{
    report.info(format_text("%d, %d\n", nv, nf));
    if (nv == 0 || nf == 0) return false;
    report.info("\tMESH: Saving " + path + "...");

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        report.error(format_text("\nERROR: could not open %s for writing: %s [Mesh::write_obj()]\n", path.c_str(),
                                 std::strerror(errno)),
                     path);
        return false;
    }
    bool ok = true;
    std::string out;
    out.reserve(1 << 20);
    auto flush = [&]() {
        if (ok && !out.empty() && std::fwrite(out.data(), 1, out.size(), f) != out.size()) ok = false;
        out.clear();
    };
    for (int i = 0; i < nv; ++i) {
        out += "v ";
        append_float(out, vertices[i].x);
        out += ' ';
        append_float(out, vertices[i].y);
        out += ' ';
        append_float(out, vertices[i].z);
        out += '\n';
        if (out.size() > (1 << 20) - 128) flush();
    }
    for (int i = 0; i < nf; ++i) {
        const int* vi = faces[i].vi;
        const std::string a = std::to_string(vi[0] + 1), b = std::to_string(vi[1] + 1), c = std::to_string(vi[2] + 1);
        out += "f " + a + "/" + a + "/ " + b + "/" + b + "/ " + c + "/" + c + "/\n";
        if (out.size() > (1 << 20) - 128) flush();
    }
    flush();
    const int err = errno;
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        report.error(format_text("\nERROR: could not write %s completely: %s [Mesh::write_obj()]\n", path.c_str(),
                                 std::strerror(err)),
                     path);
        return false;
    }
    report.info(" done...\n");
    return true;
}
