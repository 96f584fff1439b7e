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

std::string faces_text(const Mesh& mesh)
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

}  // namespace

template <class Work, class Asked, class Undo>
bool MeshDocument::guarded(const Work& work, const Asked& asked, const Undo& undo)
{
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // a size past what a container can hold
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

MeshDocument::MeshDocument(Messages& out)
    : messages(out), smoother(out), traversal(&mesh, out), subdivider(out), classifier(&mesh, out)
{
    smoother.mesh = &mesh;
}

LoadResult MeshDocument::open(const std::string& path)
{
    ++revision;
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
        backup.assign(mesh);
        // Tools rebuild the vertex arrays and carry the morphogen values along;
        // the kept copy keeps them as read, for reload().
        backup.morphogen_values = mesh.morphogen_values;
    } catch (const std::bad_alloc&) {
        result = reject();
    } catch (const std::length_error&) {
        result = reject();
    }
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
    const bool done = guarded(
        [&] {
            Mesh fresh;
            fresh.assign(backup);
            fresh.morphogen_values = backup.morphogen_values;
            fresh.carry_over(mesh);
            fresh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, messages);
            mesh.swap(fresh);
            classifier.reset();
        },
        [&] { return "reload the mesh as opened (" + faces_text(backup) + ")"; });
    if (done) ++placement;
    return done;
}

bool MeshDocument::subdivide(int levels, float weight)
{
    ++revision;
    bool changed = false;
    const int before = mesh.nf;
    guarded([&] { changed = subdivider.subdivide(mesh, levels, weight); },
            [&] {
                const ButterflySubdivider::Estimate est =
                    ButterflySubdivider::estimate(mesh, mesh.edge_count, std::max(levels, 0));
                return "subdivide " + std::to_string(before) + " faces " + std::to_string(levels) + " times (" +
                       std::to_string((long long)est.faces) + " faces, about " + megabytes(est.bytes) + ")";
            });
    return changed;
}

bool MeshDocument::simplify(float lod)
{
    ++revision;
    return guarded([&] { simplify_mesh(mesh, lod, messages); },
                   [&] { return "simplify " + std::to_string(mesh.nv) + " vertices to " + std::to_string(lod) + "%"; });
}

bool MeshDocument::classify()
{
    ++revision;
    if (mesh.nv == 0) return false;
    bool done = false;
    std::vector<Vector> colours;
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
    return guarded(
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
    return guarded(
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
}

bool MeshDocument::smooth_step(float radius_value)
{
    ++revision;
    std::vector<Vector> normals;
    return guarded(
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
    guarded(
        [&] {
            marks = keep_faces(mesh, &Face::marked);
            marked = traversal.traverse(depth, angle);
        },
        [&] { return "grow a region of " + faces_text(mesh) + " " + std::to_string(depth) + " rings deep"; },
        [&] { put_back(mesh, &Face::marked, marks); });
    return marked;
}

void MeshDocument::mark_current()
{
    ++revision;
    if (traversal.has_pick()) traversal.commit();
}

int MeshDocument::export_groups(const std::string& directory)
{
    int failed = -1;
    guarded([&] { failed = traversal.export_groups(directory); },
            [&] { return "export the groups of " + faces_text(mesh); });
    return failed;
}

bool MeshDocument::colour_by_morphogens(int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours,
                                        Rgb base)
{
    ++revision;
    std::vector<Vector> before;
    const bool had = mesh.has_colours;
    return guarded(
        [&] {
            before = mesh.vertex_colours;
            ::colour_by_morphogens(mesh, mix_mode, toggles, colours, base);
        },
        [&] { return "colour " + std::to_string(mesh.nv) + " vertices"; },
        [&] {
            if (before.size() != mesh.vertex_colours.size()) return;
            mesh.vertex_colours.swap(before);
            mesh.has_colours = had;
        });
}

bool MeshDocument::colour_by_height(const std::vector<Rgb>& colours, const std::vector<float>& values)
{
    ++revision;
    std::vector<Vector> before;
    const bool had = mesh.has_colours;
    bool coloured = false;
    guarded(
        [&] {
            before = mesh.vertex_colours;
            coloured = ::colour_by_height(mesh, colours, values, messages);
        },
        [&] { return "colour " + std::to_string(mesh.nv) + " vertices by height"; },
        [&] {
            if (before.size() != mesh.vertex_colours.size()) return;
            mesh.vertex_colours.swap(before);
            mesh.has_colours = had;
        });
    return coloured;
}

bool MeshDocument::build_terrain(const Heightmap& heightmap, int resolution, float scale, float height)
{
    ++revision;
    bool built = false;
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
    if (built) ++placement;
    return built;
}
