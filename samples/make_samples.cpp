// Writes the sample meshes of samples/ into a directory (default: the
// current one). Everything is computed from fixed formulas, no randomness,
// so a rerun writes the same files.
//   blob.obj     closed surface: a bumpy subdivided icosahedron with a "vc"
//                colour per vertex and three morphogens (height, bands, spots)
//   sheet.obj    open, terrain-like patch of quads with texture coordinates
//                ("f a/t b/t c/t d/t" faces, fan-triangulated on reading)
//   pyramid.net  a square pyramid in the net format with normals and colours
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/text_file.h"

namespace {

struct P {
    double x, y, z;
};

P operator+(P a, P b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
P operator*(double s, P a)
{
    return {s * a.x, s * a.y, s * a.z};
}
double dot(P a, P b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
P unit(P a)
{
    return (1.0 / std::sqrt(dot(a, a))) * a;
}

using Tri = std::array<int, 3>;

// Unit sphere: an icosahedron with each triangle split in four `levels` times.
void icosphere(int levels, std::vector<P>& points, std::vector<Tri>& tris)
{
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    points = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
              {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (P& p : points) p = unit(p);
    tris = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
            {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int l = 0; l < levels; ++l) {
        std::map<std::pair<int, int>, int> middle;
        auto mid = [&](int a, int b) {
            const std::pair<int, int> key(std::min(a, b), std::max(a, b));
            const auto found = middle.find(key);
            if (found != middle.end()) return found->second;
            points.push_back(unit(points[a] + points[b]));
            const int id = int(points.size()) - 1;
            middle.emplace(key, id);
            return id;
        };
        std::vector<Tri> next;
        next.reserve(tris.size() * 4);
        for (const Tri& f : tris) {
            const int ab = mid(f[0], f[1]), bc = mid(f[1], f[2]), ca = mid(f[2], f[0]);
            next.push_back({f[0], ab, ca});
            next.push_back({f[1], bc, ab});
            next.push_back({f[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        tris.swap(next);
    }
}

void add_floats(std::string& out, const char* key, std::initializer_list<double> values)
{
    out += key;
    for (double v : values) {
        out += ' ';
        append_float(out, float(v));
    }
    out += '\n';
}

// Values rounded to 1/10000, so the files stay small and easy to read.
double r4(double v)
{
    return std::round(v * 1e4) / 1e4;
}

std::string blob()
{
    std::vector<P> dirs;
    std::vector<Tri> tris;
    icosphere(4, dirs, tris);

    // Five fixed spot centres on the sphere.
    const P spots[5] = {unit({1, 0.2, 0.3}), unit({-0.4, 1, 0.1}), unit({0.1, -0.6, 1}), unit({-1, -0.5, -0.4}),
                        unit({0.3, 0.4, -1})};
    std::string out = "# Halvane sample: closed blob with vertex colours and three morphogens\n";
    out += "mn height bands spots\n";
    std::string colours, morphogens;
    for (const P& d : dirs) {
        // Star-shaped bumps keep the surface free of folds.
        const double r =
            1.0 + 0.18 * std::sin(3.0 * d.x + 1.0) * std::cos(2.0 * d.y) + 0.12 * std::sin(4.0 * d.z + 0.5 * d.x);
        const P p = r * d;
        add_floats(out, "v", {r4(p.x), r4(p.y), r4(p.z)});

        const double height = 0.5 + 0.5 * d.z;
        const double bands = 0.5 + 0.5 * std::sin(10.0 * std::acos(std::fmax(-1.0, std::fmin(1.0, d.y))));
        double spot = 0.0;
        for (const P& c : spots) spot += std::exp(-(2.0 - 2.0 * dot(d, c)) / 0.08);
        add_floats(colours, "vc", {r4(0.5 + 0.5 * d.x), r4(0.3 + 0.4 * height), r4(0.5 - 0.5 * d.x)});
        add_floats(morphogens, "m", {r4(height), r4(bands), r4(std::fmin(1.0, spot))});
    }
    out += colours;
    out += morphogens;
    for (const Tri& f : tris)
        out += "f " + std::to_string(f[0] + 1) + " " + std::to_string(f[1] + 1) + " " + std::to_string(f[2] + 1) + "\n";
    return out;
}

std::string sheet()
{
    const int cols = 80, rows = 50;
    std::string out = "# Halvane sample: open terrain-like sheet of quads with texture coordinates\n";
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            const double x = 8.0 * i / (cols - 1), y = 5.0 * j / (rows - 1);
            const double z = 0.35 * std::sin(1.3 * x) * std::cos(0.9 * y) + 0.1 * std::sin(3.0 * x + 2.0 * y) +
                             0.6 * std::exp(-((x - 5.5) * (x - 5.5) + (y - 2.0) * (y - 2.0)) / 1.5);
            add_floats(out, "v", {r4(x), r4(y), r4(z)});
        }
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) add_floats(out, "vt", {r4(double(i) / (cols - 1)), r4(double(j) / (rows - 1))});
    out += "g sheet\n";
    for (int j = 0; j + 1 < rows; ++j)
        for (int i = 0; i + 1 < cols; ++i) {
            const int a = j * cols + i + 1, b = a + 1, c = a + cols + 1, d = a + cols;
            std::string line = "f";
            for (int k : {a, b, c, d}) line += " " + std::to_string(k) + "/" + std::to_string(k);
            out += line + "\n";
        }
    return out;
}

std::string pyramid()
{
    const P apex{0, 0, 1.2};
    const P base[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    std::string out = "# Halvane sample: square pyramid, net format, zero-based indices\n";
    add_floats(out, "v", {apex.x, apex.y, apex.z});
    for (const P& b : base) add_floats(out, "v", {b.x, b.y, b.z});
    add_floats(out, "n", {0, 0, 1});
    for (const P& b : base) {
        const P n = unit({b.x, b.y, 0.3});
        add_floats(out, "n", {r4(n.x), r4(n.y), r4(n.z)});
    }
    add_floats(out, "t", {0.5, 0.5});
    for (const P& b : base) add_floats(out, "t", {0.5 + 0.5 * b.x, 0.5 + 0.5 * b.y});
    add_floats(out, "c", {1, 0.9, 0.2});
    add_floats(out, "c", {0.8, 0.2, 0.2});
    add_floats(out, "c", {0.2, 0.8, 0.2});
    add_floats(out, "c", {0.2, 0.2, 0.8});
    add_floats(out, "c", {0.8, 0.8, 0.8});
    out += "f 0 1 2\nf 0 2 3\nf 0 3 4\nf 0 4 1\nf 1 4 3\nf 1 3 2\n";
    return out;
}

bool write(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "make_samples: cannot open %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), text.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: make_samples [DIRECTORY]\n");
        return 2;
    }
    const std::string dir = argc == 2 ? std::string(argv[1]) + "/" : std::string();
    const bool ok =
        write(dir + "blob.obj", blob()) && write(dir + "sheet.obj", sheet()) && write(dir + "pyramid.net", pyramid());
    return ok ? 0 : 1;
}
