#pragma once

// A small mesh every engine has work to do on.
#include <string>

#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"

// The octahedron as OBJ text with one morphogen, "heat", 0.5 at every vertex.
inline std::string octahedron_with_morphogen()
{
    std::string obj = "mn heat\n";
    auto shape = named::octahedron();
    for (const Vector& p : shape->vertices)
        obj += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) + "\nm 0.5\n";
    for (const Face& f : shape->faces)
        obj += "f " + std::to_string(f.vi[0] + 1) + " " + std::to_string(f.vi[1] + 1) + " " +
               std::to_string(f.vi[2] + 1) + "\n";
    return obj;
}
