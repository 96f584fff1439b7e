#include "processing/patch_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "core/Mesh.h"
#include "core/TextFile.h"

bool write_face_selection(const Mesh& mesh, const std::vector<int>& faces, const std::string& path)
{
    std::vector<const Vector*> positions;
    std::vector<int> corners;
    corners.reserve(faces.size() * 3);
    std::map<Vector, int> index_of;
    for (int f : faces)
        for (int k = 0; k < 3; ++k) {
            const Vector& p = mesh.vertices[mesh.faces[f].vi[k]];
            const auto found = index_of.emplace(p, int(positions.size()));
            if (found.second) positions.push_back(&p);
            corners.push_back(found.first->second);
        }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::printf("Saving: %s v:%zu f:%zu\n", path.c_str(), positions.size(), corners.size());
    if (!file) {
        std::printf("ERROR: could not open %s for writing: %s [write_face_selection()]\n", path.c_str(),
                    std::strerror(errno));
        std::fflush(stdout);
        return false;
    }
    std::string out;
    for (const Vector* p : positions) {
        out += "v ";
        append_float(out, p->x);
        out += ' ';
        append_float(out, p->y);
        out += ' ';
        append_float(out, p->z);
        out += '\n';
    }
    for (std::size_t c = 0; c + 2 < corners.size(); c += 3)
        for (int k = 2; k >= 0; --k) {
            const std::string i = std::to_string(corners[c + k] + 1);
            out += (k == 2 ? "f " : " ") + i + "/" + i + "/" + i;
            if (k == 0) out += '\n';
        }
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    const int err = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::printf("ERROR: could not write %s completely: %s [write_face_selection()]\n", path.c_str(),
                    std::strerror(err));
    std::fflush(stdout);
    return ok;
}
