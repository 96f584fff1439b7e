#include "smoothing/write_face_normals.h"

#include "core/AtomicFile.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_file.h"

bool write_face_normals(const Mesh& mesh, const std::string& path, Messages& out)
{
    AtomicFile file(path);
    std::string text;
    for (const Face& f : mesh.faces) {
        append_xyz(text, f.normal);
        text += '\n';
        if (text.size() > (1 << 16)) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
    if (file.commit()) return true;
    out.error_on_stderr("ERROR: could not write " + path + ": " + file.problem() + " [write_face_normals()]\n", path);
    return false;
}
