#include "colouring/ply_file.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/AtomicFile.h"
#include "core/StageProgress.h"
#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/non_finite_value.h"
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

// The property of morphogen k: its name, or "morphogen_<k+1>" when it has
// none. Without colours of the mesh's own, a morphogen named after a colour
// channel would be read back as one, so it gets "_morphogen" after its name.
std::string property_name(const Mesh& mesh, std::size_t k)
{
    if (k >= mesh.morphogen_names.size()) return "morphogen_" + std::to_string(k + 1);
    const std::string& name = mesh.morphogen_names[k];
    if (mesh.has_colours) return name;
    for (const char* channel : {"red", "green", "blue", "diffuse_red", "diffuse_green", "diffuse_blue"})
        if (name == channel) return name + "_morphogen";
    return name;
}

}  // namespace

Rgb colour_bytes(const Vector& colour)
{
    return Rgb{channel(colour.x), channel(colour.y), channel(colour.z)};
}

bool write_ply(const Mesh& mesh, const std::string& path, PlyFormat format, Messages& report)
{
    auto failed = [&](const std::string& reason) {
        report.error(format_text("ERROR: could not write %s: %s [write_ply()]\n", path.c_str(), reason.c_str()), path);
        return false;
    };
    // Colours go out as bytes, so only positions and morphogens must be finite.
    const std::string bad = non_finite_value(mesh, false);
    if (!bad.empty()) return failed(bad + "; nothing written");

    const bool binary = format == PlyFormat::BinaryLittleEndian;
    const std::size_t morphogens = mesh.morphogen_values.empty() ? 0 : mesh.morphogen_values[0].size();
    std::string out = "ply\nformat ";
    out += binary ? "binary_little_endian 1.0\n" : "ascii 1.0\n";
    out += "comment written by Halvane\n";
    out += "element vertex " + std::to_string(mesh.nv) + "\n";
    out += "property float x\nproperty float y\nproperty float z\n";
    if (mesh.has_colours) out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    for (std::size_t k = 0; k < morphogens; ++k) out += "property float " + property_name(mesh, k) + "\n";
    out += "element face " + std::to_string(mesh.nf) + "\n";
    out += "property list uchar int vertex_indices\nend_header\n";

    AtomicFile file(path);
    auto value = [&](float f) {
        if (binary) {
            append_le(out, f);
        } else {
            out += ' ';
            append_float(out, f);
        }
    };
    // A cancel leaves the old file: the unfinished one goes with `file`.
    StageProgress stage(report, "Saving", (long long)mesh.nv + mesh.nf);
    for (int j = 0; j < mesh.nv; ++j) {
        stage.at(j);
        const std::size_t v = std::size_t(j);
        const Vector& p = mesh.vertices[v];
        if (binary) {
            append_le(out, p.x);
            append_le(out, p.y);
            append_le(out, p.z);
        } else {
            append_xyz(out, p);
        }
        if (mesh.has_colours) {
            const Rgb c = colour_bytes(v < mesh.vertex_colours.size() ? mesh.vertex_colours[v] : Vector(1, 1, 1, 1));
            if (binary) {
                out += char(c.r);
                out += char(c.g);
                out += char(c.b);
            } else {
                out += ' ' + std::to_string(c.r) + ' ' + std::to_string(c.g) + ' ' + std::to_string(c.b);
            }
        }
        for (std::size_t k = 0; k < morphogens; ++k) {
            const std::vector<float>* values = v < mesh.morphogen_values.size() ? &mesh.morphogen_values[v] : nullptr;
            value(values && k < values->size() ? (*values)[k] : 0.0f);
        }
        if (!binary) out += '\n';
        if (out.size() > (1 << 16)) {
            file.write(out);
            out.clear();
        }
    }
    for (int i = 0; i < mesh.nf; ++i) {
        stage.at((long long)mesh.nv + i);
        const int* vi = mesh.faces[std::size_t(i)].vi;
        if (binary) {
            out += char(3);
            for (int k = 0; k < 3; ++k) append_le(out, std::int32_t(vi[k]));
        } else {
            out += "3 " + std::to_string(vi[0]) + ' ' + std::to_string(vi[1]) + ' ' + std::to_string(vi[2]) + '\n';
        }
        if (out.size() > (1 << 16)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
    if (!file.commit()) return failed(file.problem());
    return true;
}
