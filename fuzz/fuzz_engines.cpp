// libFuzzer target: a mutated OBJ mesh opened as the window opens it, then
// run through every engine with small settings: one step of each smoothing
// method, edge traversal from face 1 and the segmented export, the
// classification of a mesh of a few hundred faces with its table file, one
// level of subdivision and simplification to half the vertices. After each
// engine no position, normal or colour may be NaN, and every file written
// must read back as written. A breach aborts, which libFuzzer reports.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "fuzz/LoadAndSave.h"

namespace {

// The classification is quadratic in the faces: only small meshes get one.
constexpr int classified_faces = 300;
// Coordinates beyond this overflow single precision in the engines' own
// sums (a butterfly stencil, squared distances), which is float range, not
// a fault of the mesh tools: such meshes are opened but not processed.
constexpr float largest_coordinate = 1e18f;

[[noreturn]] void breach(const char* engine, const std::string& what)
{
    std::fprintf(stderr, "fuzz_engines: after %s: %s\n", engine, what.c_str());
    std::abort();
}

bool number(float v)
{
    return !std::isnan(v);
}

bool number(const Vector& v)
{
    return number(v.x) && number(v.y) && number(v.z) && number(v.w);
}

// No NaN in what the engines write into a mesh.
void check_numbers(const Mesh& m, const char* engine)
{
    for (int i = 0; i < m.nv; ++i) {
        if (!number(m.vertices[i])) breach(engine, "vertex " + std::to_string(i) + " is not a number");
        if (!number(m.vertex_normals[i])) breach(engine, "vertex normal " + std::to_string(i) + " is not a number");
        if (!number(m.vertex_colours[i])) breach(engine, "vertex colour " + std::to_string(i) + " is not a number");
    }
    for (int i = 0; i < m.nf; ++i) {
        if (!number(m.faces[i].normal)) breach(engine, "face normal " + std::to_string(i) + " is not a number");
        if (!number(m.faces[i].colour)) breach(engine, "face colour " + std::to_string(i) + " is not a number");
    }
}

// Saves the document's mesh and reads it back.
void check_saved(MeshDocument& document, const char* engine)
{
    const Mesh& m = document.mesh;
    const std::string path = work_file("saved.obj");
    if (!document.save(path)) {
        if (m.nv > 0 && m.nf > 0) breach(engine, "a mesh with faces was not saved");
        return;
    }
    check_reads_back(path, m, all_faces(m), false, engine);
}

bool within_range(const Mesh& m)
{
    for (const Vector& p : m.vertices)
        if (!(std::fabs(p.x) <= largest_coordinate && std::fabs(p.y) <= largest_coordinate &&
              std::fabs(p.z) <= largest_coordinate))
            return false;
    return true;
}

void smooth_each_way(MeshDocument& document)
{
    const int methods[] = {NormalSmoother::MEAN_SHIFT, NormalSmoother::SPHERE_JUMP, NormalSmoother::MEDIAN_FILTER};
    for (const int method : methods) {
        document.set_smoothing(10.0f, method);
        document.smooth_step(10.0f);
        check_numbers(document.mesh, "smoothing");
    }
}

void traverse_and_export(MeshDocument& document)
{
    Mesh& m = document.mesh;
    m.picked_face = 1;
    document.traverse(3, 30);
    document.mark_current();
    check_numbers(m, "traversal");
    const std::string directory = work_file("export");
    mkdir(directory.c_str(), 0700);
    if (document.export_groups(directory) != 0) breach("export", "a file could not be written");
    std::vector<int> groups[2];
    for (int i = 0; i < m.nf; ++i) groups[m.faces[i].group > 0 ? 1 : 0].push_back(i);
    check_reads_back(directory + "/non-segemented.obj", m, groups[0], true, "export");
    check_reads_back(directory + "/object_1.obj", m, groups[1], true, "export");
    check_reads_back(directory + "/segemented.obj", m, groups[1], true, "export");
}

void classify(MeshDocument& document)
{
    if (document.mesh.nf > classified_faces || !document.classify()) return;
    document.show_patches(document.classifier.num_patches);
    check_numbers(document.mesh, "classification");
    const std::string table = work_file("table.spt");
    const std::vector<float> made = document.classifier.table.floats();
    if (!document.save_table(table)) breach("classification", "the table was not saved");
    if (!document.load_table(table)) breach("classification", "the table does not read back");
    if (document.classifier.table.floats() != made) breach("classification", "the table read back differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input = write_input(data, size, ".obj");
    Messages console;
    MeshDocument document(console);
    if (document.open(input) == LoadResult::Loaded && document.mesh.nf > 0 && within_range(document.mesh)) {
        check_numbers(document.mesh, "opening");
        smooth_each_way(document);
        traverse_and_export(document);
        classify(document);
        check_saved(document, "saving");

        document.reload();
        if (document.subdivide(1, 0.0f)) {
            check_numbers(document.mesh, "subdivision");
            check_saved(document, "subdivision");
        }
        document.reload();
        document.simplify(50.0f);
        check_numbers(document.mesh, "simplification");
        check_saved(document, "simplification");
    }
    std::remove(input.c_str());
    return 0;
}
