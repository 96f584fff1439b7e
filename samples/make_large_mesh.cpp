// Writes a large closed mesh for trying the viewer and halvane-tool on big
// inputs: a jittered torus of about FACES triangles (rounded to whole rings),
// optionally with "mn", "vc" and "m" lines.
//   make_large_mesh FACES FILE.obj [--rich]
// make_large_mesh 10000000 /tmp/torus10m.obj writes 5,000,000 vertices and
// 10,000,000 faces (about 400 MB).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/AtomicFile.h"
#include "samples/torus_obj.h"

int main(int argc, char** argv)
{
    const bool rich = argc == 4 && std::strcmp(argv[3], "--rich") == 0;
    const long long faces = argc >= 3 ? std::atoll(argv[1]) : 0;
    if ((argc != 3 && !rich) || faces < 8 || faces > 400000000) {
        std::fprintf(stderr, "usage: make_large_mesh FACES FILE.obj [--rich]  (8 <= FACES <= 400000000)\n");
        return 2;
    }
    // rings = 2 sides: faces = 2 rings sides = rings^2.
    const int rings = int(std::lround(std::sqrt(double(faces))));
    const int sides = std::max(2, rings / 2);
    std::string problem;
    if (!write_file_atomically(argv[2], torus_obj(rings, sides, rich), problem)) {
        std::fprintf(stderr, "make_large_mesh: %s: %s\n", argv[2], problem.c_str());
        return 1;
    }
    std::printf("%s: %lld vertices, %lld faces\n", argv[2], (long long)rings * sides, 2LL * rings * sides);
    return 0;
}
