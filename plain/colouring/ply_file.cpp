#include "colouring/ply_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_file.h"

namespace {

unsigned char channel(float c)
{
    if (!(c > 0.0f)) return 0;  // NaN too
    if (c >= 1.0f) return 255;
    return (unsigned char)std::lround(c * 255.0f);
}

template <typename T>
void append_le(std::string& out, T value)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    // The file is little-endian whatever this machine is.
    const std::uint16_t probe = 1;
    if (*reinterpret_cast<const unsigned char*>(&probe) != 1)
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
    out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

}  // namespace

Rgb colour_bytes(const Vector& colour)
{
    return Rgb{channel(colour.x), channel(colour.y), channel(colour.z)};
}

bool write_ply(const Mesh& mesh, const std::string& path, PlyFormat format, Messages& report)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        report.error(
            format_text("ERROR: could not open %s for writing: %s [write_ply()]\n", path.c_str(), std::strerror(errno)),
            path);
        return false;
    }
    const bool binary = format == PlyFormat::BinaryLittleEndian;
    std::string out = "ply\nformat ";
    out += binary ? "binary_little_endian 1.0\n" : "ascii 1.0\n";
    out += "comment written by Halvane\n";
    out += "element vertex " + std::to_string(mesh.nv) + "\n";
    out += "property float x\nproperty float y\nproperty float z\n";
    out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    out += "element face " + std::to_string(mesh.nf) + "\n";
    out += "property list uchar int vertex_indices\nend_header\n";

    bool ok = true;
    auto flush = [&]() {
        if (ok && !out.empty() && std::fwrite(out.data(), 1, out.size(), f) != out.size()) ok = false;
        out.clear();
    };
    const Vector white(1.0f, 1.0f, 1.0f, 1.0f);
    for (int j = 0; j < mesh.nv; ++j) {
        const Vector& p = mesh.vertices[std::size_t(j)];
        const Rgb c =
            colour_bytes(std::size_t(j) < mesh.vertex_colours.size() ? mesh.vertex_colours[std::size_t(j)] : white);
        if (binary) {
            append_le(out, p.x);
            append_le(out, p.y);
            append_le(out, p.z);
            out += char(c.r);
            out += char(c.g);
            out += char(c.b);
        } else {
            append_float(out, p.x);
            out += ' ';
            append_float(out, p.y);
            out += ' ';
            append_float(out, p.z);
            out += ' ' + std::to_string(c.r) + ' ' + std::to_string(c.g) + ' ' + std::to_string(c.b) + '\n';
        }
        if (out.size() > (1 << 20)) flush();
    }
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[std::size_t(i)].vi;
        if (binary) {
            out += char(3);
            for (int k = 0; k < 3; ++k) append_le(out, std::int32_t(vi[k]));
        } else {
            out += "3 " + std::to_string(vi[0]) + ' ' + std::to_string(vi[1]) + ' ' + std::to_string(vi[2]) + '\n';
        }
        if (out.size() > (1 << 20)) flush();
    }
    flush();
    const int err = errno;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        report.error(
            format_text("ERROR: could not write %s completely: %s [write_ply()]\n", path.c_str(), std::strerror(err)),
            path);
    }
    return ok;
}
