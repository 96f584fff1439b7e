#pragma once

#include <string>
#include <vector>

#include "classification/Mesh_Classifier.h"
#include "colouring/Rgb.h"
#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Vector.h"
#include "remeshing/ButterflySubdivider.h"
#include "smoothing/NormalSmoother.h"
#include "traversal/EdgeTraversal.h"

class Heightmap;
class Messages;

// The mesh on show and everything that changes it: the copy kept for
// "Reload", the engines that work on the mesh, and one operation per request
// of the window or of halvane-tool. The view draws the document and forwards
// its slots here; halvane-tool runs its verbs here, so the two cannot drift
// apart. Every operation reports on `messages`.
//
// When memory runs out inside an operation, the operation stops, the mesh
// stays as it was before it (opening leaves the empty mesh of a rejected
// file), and one error line names the operation and the size it asked
// for; the operation then returns false (or -1 where it counts).
class MeshDocument {
public:
    explicit MeshDocument(Messages& messages);
    MeshDocument(const MeshDocument&) = delete;
    MeshDocument& operator=(const MeshDocument&) = delete;

    Messages& messages;
    Mesh mesh;
    Mesh backup;            // the mesh as opened, restored by reload()
    std::string file_name;  // the file last opened or saved
    NormalSmoother smoother;
    EdgeTraversal traversal;
    ButterflySubdivider subdivider;
    Mesh_Classifier classifier;  // patches of `mesh`, reset with each open
    // Counts the times the mesh was replaced by one that may lie elsewhere
    // (open, reload, terrain); the view frames the mesh anew when it moves on.
    unsigned long placement = 0;
    // Counts the operations that may have changed the mesh or what is drawn
    // with it (positions, colours, normals, marks, the pick, the patches);
    // the view rebuilds what it keeps of the mesh when it moves on.
    unsigned long revision = 0;

    // Opens a mesh file with the reader its name selects (load_mesh_file),
    // forgets the classification and the pick, and keeps a copy for
    // reload(). A rejected file leaves an empty mesh; a name no reader takes
    // keeps the old mesh.
    LoadResult open(const std::string& path);
    // Writes the mesh under exactly `path`: binary PLY when the name ends in
    // ".ply" (letter case aside), else OBJ; both keep the colours (when the
    // mesh has them) and the morphogens. False when nothing was written (the
    // writer says why).
    bool save(const std::string& path);
    // Back to the mesh as opened, with its derived data rebuilt.
    bool reload();

    // Replaces the mesh by itself subdivided; false when nothing changed.
    bool subdivide(int levels, float weight);
    // Simplifies to lod percent of the vertices; false when memory ran out.
    bool simplify(float lod);

    // A classification with the classifier's settings; false when the mesh
    // has no vertices (nothing is done) or the classifier refused it.
    bool classify();
    // Shows k patches of the last classification; nothing without vertices.
    bool show_patches(int k);
    // The distance table from and to a file; nothing without vertices.
    bool load_table(const std::string& path);
    bool save_table(const std::string& path);

    // Smoothing with a ball of the panel's radius value (0 to 100, a
    // fraction of the mesh extent): set_smoothing only chooses ball and
    // algorithm, smooth runs a whole pass, smooth_step one region. False
    // when memory ran out (the normals are as they were).
    void set_smoothing(float radius_value, int algorithm);
    bool smooth(float radius_value, int algorithm);
    bool smooth_step(float radius_value);

    // Picks the face the segment crosses first (see pick_face); a miss
    // keeps the previous pick.
    bool pick(const Vector& near_point, const Vector& far_point);
    // Grows the marked region from the picked face; the number marked.
    int traverse(int depth, int angle);
    // The marked region becomes a group, when a face is picked.
    void mark_current();
    // The segmented export of the groups into `directory` (empty: the
    // working directory); the number of files that could not be written.
    int export_groups(const std::string& directory = std::string());

    bool colour_by_morphogens(int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours, Rgb base);
    bool colour_by_height(const std::vector<Rgb>& colours, const std::vector<float>& values);
    // Replaces the mesh by a terrain; the copy for reload() stays the mesh
    // as opened. False when the resolution is refused.
    bool build_terrain(const Heightmap& heightmap, int resolution, float scale, float height);

private:
    // The smoothing kernel for a panel value, with the mesh's box current.
    Vector smoothing_kernel_for(float radius_value);
    // Runs work(); when memory runs out, runs undo() and reports one line:
    // "not enough memory to " + asked(). False then.
    template <class Work, class Asked, class Undo>
    bool guarded(const Work& work, const Asked& asked, const Undo& undo);
    template <class Work, class Asked>
    bool guarded(const Work& work, const Asked& asked);
};
