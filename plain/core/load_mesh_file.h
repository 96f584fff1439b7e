#pragma once

#include <string>

class Mesh;
class Messages;
struct Face;
struct Vector;

// What load_mesh_file did with a name.
enum class LoadResult {
    Loaded,    // a reader ran and accepted the file
    Failed,    // a reader ran and rejected the file (the mesh is left empty)
    NotAMesh,  // a name no reader takes: nothing read
};

enum class MeshFormat { None, Obj, Net, Ply, Stl, Off };

// The reader chosen by name, letter case aside: the extension ".ply",
// ".stl" or ".off"; else "obj" among the last four characters, else "net";
// else none.
MeshFormat mesh_format_of(const std::string& name);
// Whether `name` ends in `extension` (".ply"), letter case aside.
bool has_extension(const std::string& name, const char* extension);
// The names the readers take, for messages: ".obj, .net, .ply, .stl or .off".
extern const char* const mesh_extensions;

// Opens a mesh file as the view does: clears the mesh and runs the reader
// the name selects, then builds centre, centroids, edge list, vertex normals
// and box, orients the faces and rebuilds the vertex normals. When no reader
// runs, the old mesh stays and only its derived data is rebuilt.
// The command-line tool and the view both load through here.
LoadResult load_mesh_file(Mesh& mesh, const std::string& name, Messages& out);

// Swaps corners 1 and 2 of every face whose corners do not turn the right
// way round its stored normal seen from its centroid. A face without area
// (the zero normal) has no turn and keeps its order. Reads the face normals
// and centroids.
void orient_faces(Mesh& mesh);
// The same for one face with its centroid; true when it swapped the corners
// (vi and v; the normal is left as it was).
bool orient_face(Face& face, const Vector& centroid);
