#include "document/MeshDocument.h"

#include <new>
#include <stdexcept>

#include "colouring/build_terrain.h"
#include "colouring/ply_file.h"
#include "colouring/vertex_colouring.h"
#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Messages.h"
#include "remeshing/simplify.h"
#include "traversal/pick_face.h"

namespace {

// Whether a field of any face differs from the values kept of it.
template <class Field, class Kept>
bool faces_differ(const Mesh& mesh, Field field, const Kept& kept)
{
    if (kept.size() != mesh.faces.size()) return true;
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (!(mesh.faces[i].*field == kept[i])) return true;
    return false;
}

// "5120 faces" of a Mesh or of the Reload copy.
template <class Faces>
std::string faces_text(const Faces& mesh)
{
    return std::to_string(mesh.nf) + " faces";
}

// One field of every face, kept to put back after a failed operation.
template <class Field>
auto keep_faces(const Mesh& mesh, Field field)
{
    std::vector<std::decay_t<decltype(mesh.faces[0].*field)>> kept;
    kept.reserve(mesh.faces.size());
    for (const Face& f : mesh.faces) kept.push_back(f.*field);
    return kept;
}

template <class Field, class Kept>
void put_back(Mesh& mesh, Field field, const Kept& kept)
{
    for (std::size_t i = 0; i < kept.size() && i < mesh.faces.size(); ++i) mesh.faces[i].*field = kept[i];
}

// Whether a tool that only colours, marks or groups faces changed any.
bool faces_changed(const Mesh& before, const Mesh& after)
{
    if (before.faces.size() != after.faces.size()) return true;
    for (std::size_t i = 0; i < after.faces.size(); ++i) {
        const Face& a = before.faces[i];
        const Face& b = after.faces[i];
        if (a.marked != b.marked || a.group != b.group || !(a.colour == b.colour)) return true;
    }
    return false;
}

// "75%", "12.5%".
std::string percent_text(float value)
{
    return format_text("%g%%", double(value));
}

}  // namespace

template <class Work, class Asked, class Undo>
bool MeshDocument::guarded(const Work& work, const Asked& asked, const Undo& undo)
{
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // a size past what a container can hold
    } catch (const Cancelled&) {
        // Whoever asked to cancel knows; the work is undone without a word.
        cancelled = true;
        undo();
        return false;
    }
    undo();
    messages.error("ERROR: not enough memory to " + asked() + "; the mesh is as it was\n");
    return false;
}

template <class Work, class Asked>
bool MeshDocument::guarded(const Work& work, const Asked& asked)
{
    return guarded(work, asked, [] {});
}

MeshDocument::MeshDocument(Messages& out, std::size_t history_limit)
    : messages(out), smoother(out), traversal(&mesh, out), subdivider(out), classifier(&mesh, out),
      history(history_limit)
{
    smoother.mesh = &mesh;
}

std::unique_ptr<MeshDocument> MeshDocument::copy(Parts parts) const
{
    auto copy = std::make_unique<MeshDocument>(messages, history.limit);
    copy->held = parts;
    copy->mesh = mesh;
    if (parts.backup) copy->backup = backup;
    copy->file_name = file_name;
    copy->placement = placement;
    copy->smoother.copy_state(smoother);
    copy->traversal.group_count = traversal.group_count;
    copy->traversal.depth = traversal.depth;
    copy->traversal.angle = traversal.angle;
    copy->subdivider.weight = subdivider.weight;
    copy->subdivider.levels = subdivider.levels;
    copy->subdivider.memory_limit = subdivider.memory_limit;
    copy->classifier.copy_state(classifier, parts.table);
    return copy;
}

void MeshDocument::adopt(MeshDocument&& done, const std::string&)
{
    mesh.swap(done.mesh);
    if (done.held.backup) std::swap(backup, done.backup);
    file_name.swap(done.file_name);
    placement = done.placement;
    smoother.take_state(std::move(done.smoother));
    traversal.group_count = done.traversal.group_count;
    traversal.depth = done.traversal.depth;
    traversal.angle = done.traversal.angle;
    subdivider.weight = done.subdivider.weight;
    subdivider.levels = done.subdivider.levels;
    subdivider.memory_limit = done.subdivider.memory_limit;
    classifier.take_state(std::move(done.classifier), done.held.table);
    ++revision;
    // The copy began with no steps: what it kept is the state this
    // document had before the operation.
    if (done.history.clears != 0) history.clear();
    end_step(done.history.take_newest());
}

std::unique_ptr<History::Step> MeshDocument::begin_step(std::string name, bool moves)
{
    if (history.limit == 0) return nullptr;
    const std::size_t bytes = DocumentState::estimate(mesh, classifier.probabilities);
    const bool had_steps = history.can_undo() || history.can_redo();
    if (!history.fits(bytes)) {
        history.clear();
        messages.warning("Undo: " + name + " cannot be undone: the mesh takes " + megabytes(double(bytes)) +
                         ", undo keeps at most " + megabytes(double(history.limit)) +
                         (had_steps ? "; the earlier steps are forgotten\n" : "\n"));
        return nullptr;
    }
    try {
        auto step = std::make_unique<History::Step>();
        step->name = std::move(name);
        step->moves = moves;
        DocumentState& state = step->state;
        state.mesh = mesh;
        state.seeds = classifier.seeds;
        state.patch_colours = classifier.patch_colours;
        state.probabilities = classifier.probabilities;
        state.neighbours = classifier.neighbours;
        state.face_patch = classifier.face_patch;
        state.max_patches = classifier.max_patches;
        state.num_patches = classifier.num_patches;
        state.group_count = traversal.group_count;
        return step;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    history.clear();
    messages.warning("Undo: " + name + " cannot be undone: no memory left for a copy of " + megabytes(double(bytes)) +
                     (had_steps ? "; the earlier steps are forgotten\n" : "\n"));
    return nullptr;
}

void MeshDocument::end_step(std::unique_ptr<History::Step> step)
{
    if (!step) return;
    std::vector<std::string> dropped;
    try {
        dropped = history.push(std::move(step));
    } catch (const std::bad_alloc&) {
        history.clear();
        messages.warning("Undo: no memory left to list the steps; they are forgotten\n");
        return;
    }
    if (dropped.empty()) return;
    std::string names;
    for (const std::string& name : dropped) names += (names.empty() ? "" : ", ") + name;
    messages.warning("Undo: the oldest steps (" + names + ") are forgotten to keep undo within " +
                     megabytes(double(history.limit)) + "\n");
}

void MeshDocument::exchange(DocumentState& state) noexcept
{
    mesh.swap(state.mesh);
    classifier.seeds.swap(state.seeds);
    classifier.patch_colours.swap(state.patch_colours);
    classifier.probabilities.swap(state.probabilities);
    classifier.neighbours.swap(state.neighbours);
    classifier.face_patch.swap(state.face_patch);
    std::swap(classifier.max_patches, state.max_patches);
    std::swap(classifier.num_patches, state.num_patches);
    std::swap(traversal.group_count, state.group_count);
    // The smoother's regions were found on the normals it last saw.
    smoother.restart_needed = true;
}

bool MeshDocument::take_step(bool back)
{
    bool moves = false;
    const auto swap_state = [&](History::Step& step) {
        exchange(step.state);
        moves = step.moves;
    };
    const std::string name = back ? history.undo_name() : history.redo_name();
    bool taken = false;
    try {
        taken = back ? history.undo(swap_state) : history.redo(swap_state);
    } catch (const std::bad_alloc&) {
        messages.error("ERROR: not enough memory to " + std::string(back ? "undo " : "redo ") + name +
                       "; the mesh is as it was\n");
        return false;
    }
    if (taken) ++revision;
    if (moves) ++placement;
    return taken;
}

bool MeshDocument::undo()
{
    return take_step(true);
}

bool MeshDocument::redo()
{
    return take_step(false);
}

LoadResult MeshDocument::open(const std::string& path)
{
    ++revision;
    history.clear();
    classifier.reset();
    mesh.picked_face = -1;
    LoadResult result = LoadResult::Failed;
    // A mesh that does not fit is a file the program cannot take: the empty
    // mesh of a rejected file.
    auto reject = [&] {
        const std::string counts = std::to_string(mesh.nv) + " vertices and " + faces_text(mesh);
        mesh.clear();
        mesh.morphogen_names.clear();
        backup.clear();
        messages.error_on_stderr("ERROR: " + path + ": not enough memory to open it (" + counts + ")\n", path);
        return LoadResult::Failed;
    };
    try {
        file_name = path;
        result = load_mesh_file(mesh, path, messages);
        if (result == LoadResult::NotAMesh)
            messages.error_on_stderr(
                "ERROR: " + path + ": not a mesh file name; the names read end in " + mesh_extensions + "\n", path);
        mesh.picked_face = -1;
        backup.keep(mesh);
    } catch (const std::bad_alloc&) {
        result = reject();
    } catch (const std::length_error&) {
        result = reject();
    } catch (const Cancelled&) {
        // Only a copy of a document is opened with a cancel possible; the
        // copy is dropped.
        mesh.clear();
        backup.clear();
        cancelled = true;
        result = LoadResult::Failed;
    }
    // The copy for reload() and the cleared table are this mesh's now.
    held = DocumentParts();
    ++placement;
    return result;
}

bool MeshDocument::save(const std::string& path)
{
    bool written = false;
    guarded(
        [&] {
            file_name = path;
            if (!has_extension(path, ".ply")) {
                written = mesh.write_obj(path, messages);
                return;
            }
            // The same lines and the same refusal of an empty mesh as the OBJ writer.
            messages.info(format_text("%d, %d\n", mesh.nv, mesh.nf));
            if (mesh.nv == 0 || mesh.nf == 0) return;
            if (!write_ply(mesh, path, PlyFormat::BinaryLittleEndian, messages)) return;
            messages.info("\tMESH: Saving " + path + "... done...\n");
            written = true;
        },
        [&] { return "save " + path + " (" + faces_text(mesh) + ")"; });
    return written;
}

bool MeshDocument::reload()
{
    ++revision;
    auto step = begin_step("Reload", true);
    const bool done = guarded(
        [&] {
            Mesh fresh;
            backup.restore(fresh);
            fresh.carry_over(mesh);
            fresh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, messages);
            mesh.swap(fresh);
            classifier.reset();
            held.table = true;
        },
        [&] { return "reload the mesh as opened (" + faces_text(backup) + ")"; });
    if (done) {
        ++placement;
        end_step(std::move(step));
    }
    return done;
}

bool MeshDocument::subdivide(int levels, float weight)
{
    ++revision;
    bool changed = false;
    const int before = mesh.nf;
    auto step = begin_step("Subdivide " + std::to_string(levels));
    guarded([&] { changed = subdivider.subdivide(mesh, levels, weight); },
            [&] {
                const ButterflySubdivider::Estimate est =
                    ButterflySubdivider::estimate(mesh, mesh.edge_count, std::max(levels, 0));
                return "subdivide " + std::to_string(before) + " faces " + std::to_string(levels) + " times (" +
                       std::to_string((long long)est.faces) + " faces, about " + megabytes(est.bytes) + ")";
            });
    if (changed) end_step(std::move(step));
    return changed;
}

bool MeshDocument::simplify(float lod)
{
    ++revision;
    auto step = begin_step("Simplify " + percent_text(lod));
    const int nv = mesh.nv, nf = mesh.nf;
    const bool done =
        guarded([&] { simplify_mesh(mesh, lod, messages); },
                [&] { return "simplify " + std::to_string(mesh.nv) + " vertices to " + std::to_string(lod) + "%"; });
    if (done && (mesh.nv != nv || mesh.nf != nf)) end_step(std::move(step));
    return done;
}

bool MeshDocument::classify()
{
    ++revision;
    if (mesh.nv == 0) return false;
    bool done = false;
    std::vector<Vector> colours;
    auto step = begin_step("Classify");
    guarded(
        [&] {
            colours = keep_faces(mesh, &Face::colour);
            mesh.build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST}, messages);
            done = classifier.classify();
        },
        [&] {
            const bool counts = classifier.sp_mode == 0;
            return "classify " + faces_text(mesh) + " (" +
                   megabytes(Mesh_Classifier::classification_bytes(mesh.nf, counts)) + ")";
        },
        [&] {
            put_back(mesh, &Face::colour, colours);
            classifier.forget_patches();
        });
    if (done) end_step(std::move(step));
    return done;
}

bool MeshDocument::show_patches(int k)
{
    ++revision;
    if (mesh.nv == 0) return false;
    std::vector<Vector> colours;
    std::vector<int> seeds;
    const int shown = classifier.num_patches;
    bool kept = false;
    auto step = begin_step("Show " + std::to_string(k) + " Patches");
    const bool done = guarded(
        [&] {
            colours = keep_faces(mesh, &Face::colour);
            seeds = classifier.seeds;
            kept = true;
            classifier.set_patch_count(k);
        },
        [&] { return "show " + std::to_string(k) + " patches of " + faces_text(mesh); },
        [&] {
            if (!kept) return;
            put_back(mesh, &Face::colour, colours);
            classifier.seeds.swap(seeds);
            classifier.num_patches = shown;
            classifier.face_patch.clear();
        });
    if (done && step && (faces_changed(step->state.mesh, mesh) || classifier.num_patches != shown))
        end_step(std::move(step));
    return done;
}

bool MeshDocument::load_table(const std::string& path)
{
    ++revision;
    bool loaded = false;
    guarded([&] { loaded = mesh.nv != 0 && classifier.load(path); },
            [&] { return "load the table " + path + " for " + faces_text(mesh); });
    return loaded;
}

bool MeshDocument::save_table(const std::string& path)
{
    bool saved = false;
    guarded([&] { saved = mesh.nv != 0 && classifier.save(path); },
            [&] { return "save the table " + path + " of " + faces_text(mesh); });
    return saved;
}

Vector MeshDocument::smoothing_kernel_for(float radius_value)
{
    // The extent is out of date after a tool replaced the mesh.
    mesh.build_stale({MESH_BB}, messages);
    return smoothing_kernel(radius_value, mesh.extent);
}

void MeshDocument::set_smoothing(float radius_value, int algorithm)
{
    smoother.kernel = smoothing_kernel_for(radius_value);
    smoother.algorithm = algorithm;
}

bool MeshDocument::smooth(float radius_value, int algorithm)
{
    ++revision;
    std::vector<Vector> normals;
    auto step = begin_step("Smooth");
    const bool done = guarded(
        [&] {
            normals = keep_faces(mesh, &Face::normal);
            smoother.kernel = smoothing_kernel_for(radius_value);
            smoother.run(smoother.kernel, NormalSmoother::RunMode::Full, algorithm);
        },
        [&] { return "smooth " + faces_text(mesh); },
        [&] {
            put_back(mesh, &Face::normal, normals);
            smoother.restart_needed = true;
        });
    if (done && faces_differ(mesh, &Face::normal, normals)) end_step(std::move(step));
    return done;
}

bool MeshDocument::smooth_step(float radius_value)
{
    ++revision;
    std::vector<Vector> normals;
    auto step = begin_step("Smooth Step");
    const bool done = guarded(
        [&] {
            normals = keep_faces(mesh, &Face::normal);
            smoother.kernel = smoothing_kernel_for(radius_value);
            messages.info("Step\n");
            smoother.run(smoother.kernel, NormalSmoother::RunMode::Step, smoother.algorithm);
        },
        [&] { return "smooth a step of " + faces_text(mesh); },
        [&] {
            put_back(mesh, &Face::normal, normals);
            smoother.restart_needed = true;
        });
    if (done && faces_differ(mesh, &Face::normal, normals)) end_step(std::move(step));
    return done;
}

bool MeshDocument::pick(const Vector& near_point, const Vector& far_point)
{
    const int before = mesh.picked_face;
    const bool hit = pick_face(mesh, near_point, far_point);
    if (mesh.picked_face != before) ++revision;
    return hit;
}

int MeshDocument::traverse(int depth, int angle)
{
    ++revision;
    int marked = -1;
    std::vector<int> marks;
    auto step = begin_step("Traverse");
    guarded(
        [&] {
            marks = keep_faces(mesh, &Face::marked);
            marked = traversal.traverse(depth, angle);
        },
        [&] { return "grow a region of " + faces_text(mesh) + " " + std::to_string(depth) + " rings deep"; },
        [&] { put_back(mesh, &Face::marked, marks); });
    if (marked >= 0 && step && faces_changed(step->state.mesh, mesh)) end_step(std::move(step));
    return marked;
}

void MeshDocument::mark_current()
{
    ++revision;
    if (!traversal.has_pick()) return;
    auto step = begin_step("Mark Current");
    traversal.commit();
    end_step(std::move(step));
}

int MeshDocument::export_groups(const std::string& directory)
{
    int failed = -1;
    guarded([&] { failed = traversal.export_groups(directory); },
            [&] { return "export the groups of " + faces_text(mesh); });
    return failed;
}

template <class Paint, class Asked>
bool MeshDocument::recolour(const std::string& step_name, const Paint& paint, const Asked& asked)
{
    ++revision;
    std::vector<Vector> before;
    const bool had = mesh.has_colours;
    bool coloured = false;
    auto step = begin_step(step_name);
    guarded(
        [&] {
            before = mesh.vertex_colours;
            coloured = paint();
        },
        asked,
        [&] {
            if (before.size() != mesh.vertex_colours.size()) return;
            mesh.vertex_colours.swap(before);
            mesh.has_colours = had;
        });
    if (coloured) end_step(std::move(step));
    return coloured;
}

bool MeshDocument::colour_by_morphogens(int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours,
                                        Rgb base)
{
    return recolour(
        "Colour Morphogens",
        [&] {
            ::colour_by_morphogens(mesh, mix_mode, toggles, colours, base);
            return true;
        },
        [&] { return "colour " + std::to_string(mesh.nv) + " vertices"; });
}

bool MeshDocument::colour_by_height(const std::vector<Rgb>& colours, const std::vector<float>& values)
{
    return recolour(
        "Colour Height", [&] { return ::colour_by_height(mesh, colours, values, messages); },
        [&] { return "colour " + std::to_string(mesh.nv) + " vertices by height"; });
}

bool MeshDocument::build_terrain(const Heightmap& heightmap, int resolution, float scale, float height)
{
    ++revision;
    bool built = false;
    auto step = begin_step("Terrain", true);
    guarded(
        [&] {
            Mesh terrain;
            terrain.carry_over(mesh);
            built = ::build_terrain(terrain, heightmap, resolution, scale, height, messages);
            if (built) mesh.swap(terrain);
        },
        [&] {
            return "build a terrain of " + std::to_string(resolution) + " by " + std::to_string(resolution) + " points";
        });
    if (built) {
        ++placement;
        end_step(std::move(step));
    }
    return built;
}
