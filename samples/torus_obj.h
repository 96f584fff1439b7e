#pragma once

#include <charconv>
#include <cmath>
#include <random>
#include <string>

// The OBJ text of a closed torus of `rings` x `sides` quads, each split in
// two (rings * sides vertices, twice as many faces), with seeded jitter so
// the numbers look like scanned data. `rich` adds a name line, a "vc" colour
// line and an "m" line of three values per vertex. Used by the read
// benchmark and by make_large_mesh.
inline std::string torus_obj(int rings, int sides, bool rich)
{
    std::mt19937 rng(20261206);
    auto jitter = [&rng]() { return (double(rng() >> 8) / double(1 << 24) - 0.5) * 0.002; };
    auto append_fixed = [](std::string& out, double v, int digits) {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, digits);
        out.append(buffer, r.ptr);
    };
    const double pi = 3.14159265358979323846;
    const std::size_t quads = std::size_t(rings) * std::size_t(sides);
    std::string out;
    out.reserve(quads * (rich ? 150 : 75));
    out += "# generated torus\n";
    if (rich) out += "mn alpha beta gamma\n";
    std::string colours, morphogens;
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sides; ++j) {
            const double u = 2 * pi * i / rings, v = 2 * pi * j / sides;
            const double r = 1.0 + 0.4 * std::cos(v);
            const double p[3] = {r * std::cos(u) + jitter(), r * std::sin(u) + jitter(), 0.4 * std::sin(v) + jitter()};
            out += "v";
            for (double x : p) {
                out += ' ';
                append_fixed(out, x, 6);
            }
            out += '\n';
            if (!rich) continue;
            colours += "vc";
            for (double c : {0.5 + 0.5 * std::cos(u), 0.5 + 0.5 * std::sin(v), 0.5}) {
                colours += ' ';
                append_fixed(colours, c, 4);
            }
            colours += '\n';
            morphogens += "m";
            for (double m : {std::sin(3 * u), std::cos(5 * v), u * v / 40.0}) {
                morphogens += ' ';
                append_fixed(morphogens, m, 5);
            }
            morphogens += '\n';
        }
    out += colours;
    out += morphogens;
    auto id = [sides, rings](int i, int j) { return (i % rings) * sides + (j % sides) + 1; };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sides; ++j) {
            const int a = id(i, j), b = id(i + 1, j), c = id(i + 1, j + 1), d = id(i, j + 1);
            out += "f " + std::to_string(a) + ' ' + std::to_string(b) + ' ' + std::to_string(c) + '\n';
            out += "f " + std::to_string(a) + ' ' + std::to_string(c) + ' ' + std::to_string(d) + '\n';
        }
    return out;
}
