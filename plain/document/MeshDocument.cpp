#include "document/MeshDocument.h"

#include "colouring/build_terrain.h"
#include "colouring/ply_file.h"
#include "colouring/vertex_colouring.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "remeshing/simplify.h"
#include "traversal/pick_face.h"

MeshDocument::MeshDocument(Messages& out)
    : messages(out), smoother(out), traversal(&mesh, out), subdivider(out), classifier(&mesh, out)
{
    smoother.mesh = &mesh;
}

LoadResult MeshDocument::open(const std::string& path)
{
    file_name = path;
    classifier.reset();
    mesh.picked_face = -1;
    const LoadResult result = load_mesh_file(mesh, path, messages);
    if (result == LoadResult::NotAMesh)
        messages.error_on_stderr(
            "ERROR: " + path + ": not a mesh file name; the names read end in " + mesh_extensions + "\n", path);
    mesh.picked_face = -1;
    ++placement;
    backup.assign(mesh);
    // Tools rebuild the vertex arrays and carry the morphogen values along;
    // the kept copy keeps them as read, for reload().
    backup.morphogen_values = mesh.morphogen_values;
    return result;
}

bool MeshDocument::save(const std::string& path)
{
    file_name = path;
    if (has_extension(path, ".ply")) {
        // The same lines and the same refusal of an empty mesh as the OBJ writer.
        messages.info(format_text("%d, %d\n", mesh.nv, mesh.nf));
        if (mesh.nv == 0 || mesh.nf == 0) return false;
        if (!write_ply(mesh, path, PlyFormat::BinaryLittleEndian, messages)) return false;
        messages.info("\tMESH: Saving " + path + "... done...\n");
        return true;
    }
    return mesh.write_obj(path, messages);
}

void MeshDocument::reload()
{
    classifier.reset();
    mesh.assign(backup);
    mesh.morphogen_values = backup.morphogen_values;
    mesh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, messages);
    ++placement;
}

bool MeshDocument::subdivide(int levels, float weight)
{
    return subdivider.subdivide(mesh, levels, weight);
}

void MeshDocument::simplify(float lod)
{
    simplify_mesh(mesh, lod, messages);
}

bool MeshDocument::classify()
{
    if (mesh.nv == 0) return false;
    mesh.build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST}, messages);
    return classifier.classify();
}

void MeshDocument::show_patches(int k)
{
    if (mesh.nv == 0) return;
    classifier.set_patch_count(k);
}

bool MeshDocument::load_table(const std::string& path)
{
    return mesh.nv != 0 && classifier.load(path);
}

bool MeshDocument::save_table(const std::string& path)
{
    return mesh.nv != 0 && classifier.save(path);
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

void MeshDocument::smooth(float radius_value, int algorithm)
{
    smoother.kernel = smoothing_kernel_for(radius_value);
    smoother.run(smoother.kernel, NormalSmoother::RunMode::Full, algorithm);
}

void MeshDocument::smooth_step(float radius_value)
{
    smoother.kernel = smoothing_kernel_for(radius_value);
    messages.info("Step\n");
    smoother.run(smoother.kernel, NormalSmoother::RunMode::Step, smoother.algorithm);
}

bool MeshDocument::pick(const Vector& near_point, const Vector& far_point)
{
    return pick_face(mesh, near_point, far_point);
}

int MeshDocument::traverse(int depth, int angle)
{
    return traversal.traverse(depth, angle);
}

void MeshDocument::mark_current()
{
    if (traversal.has_pick()) traversal.commit();
}

int MeshDocument::export_groups(const std::string& directory)
{
    return traversal.export_groups(directory);
}

void MeshDocument::colour_by_morphogens(int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours,
                                        Rgb base)
{
    ::colour_by_morphogens(mesh, mix_mode, toggles, colours, base);
}

bool MeshDocument::colour_by_height(const std::vector<Rgb>& colours, const std::vector<float>& values)
{
    return ::colour_by_height(mesh, colours, values, messages);
}

bool MeshDocument::build_terrain(const Heightmap& heightmap, int resolution, float scale, float height)
{
    ++placement;
    return ::build_terrain(mesh, heightmap, resolution, scale, height, messages);
}
