#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classification/Mesh_Classifier.h"
#include "colouring/Rgb.h"
#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Vector.h"
#include "document/History.h"
#include "document/ReloadCopy.h"
#include "remeshing/ButterflySubdivider.h"
#include "smoothing/NormalSmoother.h"
#include "traversal/EdgeTraversal.h"

class Heightmap;
class Messages;

// What a copy of a document holds besides the mesh, the file name and the
// engines' state and settings: the copy for reload() and the classifier's
// distance table are large and most operations neither read nor change them.
struct DocumentParts {
    bool backup = true;
    bool table = true;
};

// The mesh on show and everything that changes it: the copy kept for
// "Reload", the engines that work on the mesh, and one operation per request
// of the window or of halvane-tool. The view draws the document and forwards
// its slots here; halvane-tool runs its verbs here, so the two cannot drift
// apart. Every operation reports on `messages`.
//
// When memory runs out inside an operation, the operation stops, the mesh
// stays as it was before it (opening leaves the empty mesh of a rejected
// file), and one error line names the operation and the size it asked
// for; the operation then returns false (or -1 where it counts). An
// operation cancelled through the channel (Messages::request_cancel) also
// ends with the mesh as it was, without a line, and returns false.
//
// Each operation that changes the mesh and succeeds becomes a step of
// `history` that undo() takes back bit for bit; opening a file forgets them.
class MeshDocument {
public:
    // `history_limit`: the bytes the states kept for undo may take
    // (History::usual_limit() for the window); 0 keeps none, as halvane-tool runs one
    // verb per document.
    explicit MeshDocument(Messages& messages, std::size_t history_limit = 0);
    MeshDocument(const MeshDocument&) = delete;
    MeshDocument& operator=(const MeshDocument&) = delete;

    Messages& messages;
    Mesh mesh;
    ReloadCopy backup;      // the mesh as opened, restored by reload()
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
    // Set when an operation stopped at a cancel (and undid its work).
    bool cancelled = false;

    using Parts = DocumentParts;
    Parts held;  // what this document holds (all of it unless it is a copy)

    // A deep copy on the same channel, for a long operation to run on aside
    // (on a worker thread) while this document stays on show unchanged.
    std::unique_ptr<MeshDocument> copy(Parts parts = Parts()) const;
    // Takes the state of `done`, a copy made by copy() on which the
    // operation named `operation` ran to its end: the mesh, the parts the copy
    // holds, the engines' state and settings, the file name and the
    // placement, and the step the copy kept for undo. Allocates nothing but
    // the step's place in `history`; `done` is left to be dropped.
    void adopt(MeshDocument&& done, const std::string& operation);

    History history;

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

    // Back to the state before the newest step, and forward again. False
    // when there is nothing to undo or redo (or no memory to do it: the
    // document is then as it was, and an error line says so).
    bool undo();
    bool redo();
    // The names of the steps undo() and redo() would take ("Simplify 75%",
    // "Subdivide 2", "Smooth", "Terrain", "Reload"); empty when none.
    std::string undo_name() const { return history.undo_name(); }
    std::string redo_name() const { return history.redo_name(); }

    // An operation that changes the mesh starts a step with begin_step(),
    // before it changes anything, and hands it to end_step() when it
    // succeeded and changed something. begin_step() gives null when the
    // state cannot be kept (no history, too large, out of memory: the
    // history is then forgotten, with a warning); end_step() takes null.
    std::unique_ptr<History::Step> begin_step(std::string name, bool moves = false);
    void end_step(std::unique_ptr<History::Step> step);

private:
    // Swaps the mesh and the engines' undoable state with `state`.
    void exchange(DocumentState& state) noexcept;
    bool take_step(bool back);
    // The smoothing kernel for a panel value, with the mesh's box current.
    Vector smoothing_kernel_for(float radius_value);
    // Runs work(); when memory runs out, runs undo() and reports one line:
    // "not enough memory to " + asked(). False then.
    template <class Work, class Asked, class Undo>
    bool guarded(const Work& work, const Asked& asked, const Undo& undo);
    // A colouring as one undoable step: paint() recolours the vertices and
    // says whether it did; memory running out puts the old colours back.
    template <class Paint, class Asked>
    bool recolour(const std::string& step_name, const Paint& paint, const Asked& asked);
    template <class Work, class Asked>
    bool guarded(const Work& work, const Asked& asked);
};
