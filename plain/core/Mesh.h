#pragma once

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/EdgeTable.h"
#include "core/Face.h"
#include "core/IndexLists.h"
#include "core/NeighbourLists.h"
#include "core/Vector.h"

class Messages;

// Flags of Mesh::build, each naming one kind of derived data.
enum MeshBuildFlag {
    MESH_CENTRE = 2,
    MESH_VERTEX_NORMALS = 3,
    MESH_FACE_NORMALS = 4,
    MESH_TEXCOORDS = 5,
    MESH_EDGE_LIST = 6,
    MESH_CENTROIDS = 7,
    MESH_BB = 8,
};

// The triangle mesh the view shows and every tool works on: arrays of
// vertices and faces plus derived data rebuilt on request by build().
// Faces point into `vertices`, and the neighbour lists point into `edges`
// and `edge_faces`; a copy points into its own arrays.
class Mesh {
public:
    int nv = 0;
    int nf = 0;
    int picked_face = -1;  // face index + 1, -1 when nothing is picked
    float extent = 1.0f;
    Vector centre;

    std::vector<Vector> vertices;
    std::vector<Vector> vertex_normals;
    std::vector<Vector> vertex_colours;
    // True when vertex_colours hold colours that were read from a file or
    // made by a colouring tool; false while they are the allocation default.
    bool has_colours = false;
    std::vector<Vector> texcoords;  // empty until MESH_TEXCOORDS
    std::vector<Vector> centroids;
    std::vector<Face*> face_list;
    std::vector<Face> faces;
    std::vector<std::vector<float>> morphogen_values;
    std::vector<std::string> morphogen_names;

    EdgeTable edge_table;
    int edge_count = 0;
    std::vector<std::array<int, 2>> edges;       // (lower, higher) vertex index
    std::vector<std::array<int, 2>> edge_faces;  // (first, second face), -1 on a border
    // (edge, face) for each face beyond the first two of a non-manifold edge,
    // by edge and then in the order the faces were met.
    std::vector<std::array<int, 2>> edge_more_faces;
    // Pointers to the far end's index inside `edges` / the other face's index
    // inside `edge_faces`; (pointer - edges[0].data()) / 2 names the edge.
    NeighbourLists vertex_neighbours;
    NeighbourLists face_neighbours;

    Vector bbox[8] = {Vector(0), Vector(0), Vector(0), Vector(0), Vector(0), Vector(0), Vector(0), Vector(0)};

    Mesh() = default;
    // Everything, derived data and its freshness included, bit for bit; the
    // copy's pointers lead into its own arrays, so a tool run on the copy does
    // what it would have done on the original. Assignment builds the copy
    // aside: running out of memory leaves the mesh as it was.
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh& other);

    // Prints "BUILDING: " and each flag's name, then computes the flags in
    // the order given. A 0 ends the list; unknown values are skipped.
    void build(std::initializer_list<int> flags, Messages& out);
    // build() limited to the flags whose data is older than the arrays.
    void build_stale(std::initializer_list<int> flags, Messages& out);
    // What opening a file builds: build({MESH_CENTRE, MESH_CENTROIDS,
    // MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}), then orient(faces[i],
    // centroids[i]) on every face in order, which may swap the face's corners
    // 1 and 2 and says whether it did, then build({MESH_VERTEX_NORMALS}).
    // Both lines are printed as those calls print them, but the vertex
    // normals are summed once, after the faces are oriented, and only the
    // swapped faces get their normal again: the same arrays, bit for bit.
    void build_oriented(bool (*orient)(Face& face, const Vector& centroid), Messages& out);
    bool is_current(int flag) const;
    // Marks the derived data stale after a tool changed the arrays in place.
    void touch() { ++revision; }

    void allocate_vertices(int n);
    void allocate_faces(int n);
    void allocate_morphogens(int n, int count);
    // Sets face i's corners, keeping vi, v and face_list in step.
    void set_face(int i, int a, int b, int c);
    void clear();
    // Copies positions, colours, normals and corner indices of other.
    void assign(const Mesh& other);
    // A full copy: assign() plus every face field.
    std::unique_ptr<Mesh> clone() const;
    // Exchanges everything with other; the faces and neighbour lists of each
    // keep pointing into their own arrays, which move along. Allocates
    // nothing, so a tool can build its result aside and put it in place only
    // once nothing can fail.
    void swap(Mesh& other) noexcept;
    // Takes what a tool that replaces the arrays leaves as it was: the pick,
    // the morphogen names, the extent and the centre.
    void carry_over(const Mesh& from);

    // File formats; see obj_reader.cpp, net_reader.cpp and
    // obj_writer.cpp. Readers fill the arrays only; on a rejected file
    // they print one line naming the file and leave the mesh empty.
    bool read_obj(const std::string& path, Messages& out);
    bool read_net(const std::string& path, Messages& out);
    bool write_obj(const std::string& path, Messages& out) const;

    // Index of the edge a pointer from vertex_neighbours or face_neighbours names.
    int edge_of(const int* p) const;

    // An edge of up to this many faces links every two of them; a busier
    // one (duplicated faces, fans of degenerate faces) links each later face
    // with its first two only, so the links stay linear in the faces.
    static constexpr int all_pairs_limit = 8;

    // Calls visit(edge, g, f) for each link of a face f beyond the first two
    // of a non-manifold edge with a face g before it on that edge, by edge
    // and then by f: the edge's first two faces, then on an edge of at most
    // all_pairs_limit faces the later faces before f.
    template <class Visit>
    void for_each_later_link(Visit&& visit) const
    {
        for (std::size_t i = 0; i < edge_more_faces.size();) {
            const int e = edge_more_faces[i][0];
            std::size_t end = i;
            while (end < edge_more_faces.size() && edge_more_faces[end][0] == e) ++end;
            const bool all_pairs = int(end - i) + 2 <= all_pairs_limit;
            for (std::size_t k = i; k < end; ++k) {
                const int f = edge_more_faces[k][1];
                visit(e, edge_faces[e][0], f);
                visit(e, edge_faces[e][1], f);
                for (std::size_t j = i; all_pairs && j < k; ++j) visit(e, edge_more_faces[j][1], f);
            }
            i = end;
        }
    }

private:
    void run(int flag, Messages& out);
    void compute(int flag);
    void build_centre();
    void build_centroids();
    void build_normals();
    void build_face_normals();
    void sum_vertex_normals();
    void build_texcoords();
    void build_edge_list();
    void build_bbox();

    unsigned long revision = 1;
    unsigned long built[9] = {};
};
