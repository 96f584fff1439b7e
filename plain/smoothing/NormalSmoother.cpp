#include "smoothing/NormalSmoother.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"

NormalSmoother::NormalSmoother(Messages& out) : messages(out)
{
    progress.cells = 10.0f;
}

Vector smoothing_kernel(float value, float extent)
{
    const float r = value / 200.0f * extent;
    return Vector(r, r, r, value);
}

void NormalSmoother::run(const Vector& kernel_value, RunMode mode, int which)
{
    if (kernel_value.x == 0.0f && kernel_value.y == 0.0f && kernel_value.z == 0.0f) return;
    if (!mesh) return;
    kernel = kernel_value;
    algorithm = which;
    // Tools that change the mesh (subdivision, simplification) leave the
    // centroids and face adjacency out of date; read nothing stale.
    mesh->build_stale({MESH_CENTROIDS, MESH_EDGE_LIST}, messages);
    switch (algorithm) {
    case MEAN_SHIFT: mean_shift(mode); break;
    case SPHERE_JUMP: sphere_jump(mode); break;
    case MEDIAN_FILTER: median_filter(); break;
    default: break;
    }
}

bool NormalSmoother::set_weight_curve(const std::vector<Vector>& curve, int height)
{
    if (int(curve.size()) < curve_points || height <= 0) {
        messages.error(
            format_text("ERROR: weight curve of %d points with height %d refused (%d points and a positive "
                        "height needed); the weighting stays as it was "
                        "[NormalSmoother::set_weight_curve()]\n",
                        int(curve.size()), height, curve_points));
        return false;
    }
    weight_mode = 1;
    weight_curve = curve;
    curve_height = height;
    return true;
}

Vector NormalSmoother::contribution(int face, const Vector& c) const
{
    const Vector& n = mesh->faces[face].normal;
    if (weight_mode != 1 || int(weight_curve.size()) < curve_points || curve_height <= 0) return n;
    Vector d = mesh->centroids[face] - c;
    const float t = d.length() / kernel.x;
    // Entry 0 at the centre, 100 on the sphere.
    const float at = t * 100.0f + 0.5f;
    const int k = at < 100.0f ? (at >= 0.0f ? int(at) : 0) : 100;
    float w = 1.0f - weight_curve[std::size_t(k)].y / float(curve_height);
    if (w < 0.0f) w = 0.0f;
    return n * w;
}

bool NormalSmoother::begin_cycle(const char* header)
{
    messages.info(format_text("%s\n", header));
    messages.info(format_text("WEIGHT_MODE = %d\n", weight_mode == 1 ? 1 : 0));
    stop = false;
    // A mesh with another face count than the list was filled for (a new
    // mesh, a subdivision) starts a new cycle rather than reading past it.
    if (restart_needed || unvisited.capacity() != mesh->nf) restart();
    if (processed == mesh->nf) return false;
    if (spatial_index) grid.build(mesh->centroids, unvisited, kernel.x);
    return true;
}

void NormalSmoother::restart()
{
    regions.clear();
    current_region.clear();
    region_faces.clear();
    unvisited.fill(mesh->nf);
    processed = 0;
    captured = false;
    seed = 0;
    centroid_sum = Vector(0.0f, 0.0f, 0.0f, 0.0f);
    restart_needed = false;
}

void NormalSmoother::capture(int face)
{
    Vector entry = mesh->centroids[face];
    entry.w = float(face);
    current_region.push_back(entry);
    region_faces.push_back(face);
    unvisited.remove(face);
    progress.update(float(processed), float(mesh->nf), messages);
    processed += 1;
}

void NormalSmoother::open_region()
{
    current_region.clear();
    region_faces.clear();
    seed = unvisited.first();
    centre = mesh->centroids[seed];
    capture(seed);
    normal_sum = mesh->faces[seed].normal;
}

void NormalSmoother::give_region(const Vector& normal)
{
    for (int f : region_faces) mesh->faces[f].normal = normal;
}

void NormalSmoother::close_region()
{
    regions.push_back(current_region);
    normal_sum /= float(current_region.size());
    normal_sum.normalise();
    give_region(normal_sum);
}

void NormalSmoother::faces_in_ball(const Vector& c, std::vector<int>& out)
{
    out.clear();
    if (spatial_index && grid.query(c, kernel.x, mesh->centroids, unvisited, out)) return;
    for (int f = unvisited.first(); f != -1; f = unvisited.next(f))
        if (mesh->centroids[f].within(c, kernel.x)) out.push_back(f);
}

void NormalSmoother::print_summary() const
{
    messages.info(format_text("\nData Size:\t\t%d \n", mesh->nf));
    messages.info(format_text("Mean Shift Radius:\t%f \n", double(kernel.x)));
    messages.info(format_text("Number of Regions:\t%d \n", int(regions.size())));
}

// Each pass captures every unvisited face in the ball; the ball then moves
// to the mean of the region's centroids. A pass that captures nothing
// closes the region, and the next pass opens one at the first unvisited face.
void NormalSmoother::mean_shift(RunMode mode)
{
    if (!begin_cycle("Evaluating MEAN_SHIFT: ")) return;
    while (!stop) {
        if (!captured) {
            open_region();
            centroid_sum = centre;
        }
        captured = false;
        faces_in_ball(centre, found);
        for (int f : found) {
            centroid_sum += mesh->centroids[f];
            normal_sum += contribution(f, centre);
            capture(f);
            captured = true;
        }
        if (unvisited.empty()) {
            restart_needed = true;
            processed = 0;
            stop = true;
            close_region();
        } else if (captured) {
            centre = centroid_sum / float(current_region.size());
        } else {
            close_region();
        }
        if (mode == RunMode::Step) {
            messages.info("\n");
            stop = true;
        }
    }
    print_summary();
}

void NormalSmoother::sphere_jump(RunMode mode)
{
    if (!begin_cycle("Evaluating SHPERE_JUMP: ")) return;
    while (!stop) {
        open_region();
        const Vector c = mesh->centroids[seed];
        faces_in_ball(c, found);
        for (int f : found) {
            normal_sum += contribution(f, c);
            capture(f);
        }
        normal_sum.normalise();
        give_region(normal_sum);
        regions.push_back(current_region);
        if (unvisited.empty()) {
            restart_needed = true;
            processed = 0;
            stop = true;
        }
        if (mode == RunMode::Step) {
            messages.info("\n");
            stop = true;
        }
    }
    print_summary();
}

// Each face takes the mean normal of rings of neighbours: ring 0 is the face
// itself, ring j + 1 the neighbours of the first face of ring j, and every
// face of a ring adds all its neighbours. Normals change in place, so later
// faces and passes read the new values.
void NormalSmoother::median_filter()
{
    messages.info("Evaluating MEDIAN_FILTER: \n");
    const float w = kernel.w;
    const int depth = std::isfinite(w) ? int(std::clamp(w, -1e9f, 1e9f)) : 0;
    messages.info(format_text("depth: %d\n", depth));
    const IndexLists<int>& links = mesh->edge_table.face_links;
    // Without vertices there is no adjacency for the faces to read.
    if (int(links.size()) != mesh->nf) return;
    std::vector<Face>& faces = mesh->faces;
    for (int pass = 0; pass < median_passes; ++pass) {
        progress.update(float(pass), float(median_passes), messages);
        for (int i = 0; i < mesh->nf; ++i) {
            Vector sum(0.0f, 0.0f, 0.0f, 0.0f);
            int m = 0;
            const int* first = &i;
            const int* last = &i + 1;
            for (int j = 0; (j == 0 || j < depth) && first != last; ++j) {
                for (const int* t = last; t != first;) {
                    --t;
                    for (int s : links[std::size_t(*t)]) {
                        sum += faces[std::size_t(s)].normal;
                        ++m;
                    }
                }
                const auto next = links[std::size_t(*first)];
                first = next.begin();
                last = next.end();
            }
            if (m == 0) continue;
            sum /= float(m);
            if (sum.x != 0.0f || sum.y != 0.0f || sum.z != 0.0f) faces[std::size_t(i)].normal = sum;
        }
    }
}

template <class Other, class Put>
void NormalSmoother::each_field(Other& o, const Put& put)
{
    put(progress, o.progress);
    put(algorithm, o.algorithm);
    put(unvisited, o.unvisited);
    put(seed, o.seed);
    put(regions, o.regions);
    put(current_region, o.current_region);
    put(region_faces, o.region_faces);
    put(weight_mode, o.weight_mode);
    put(curve_height, o.curve_height);
    put(weight_curve, o.weight_curve);
    put(kernel, o.kernel);
    put(centroid_sum, o.centroid_sum);
    put(normal_sum, o.normal_sum);
    put(centre, o.centre);
    put(processed, o.processed);
    put(captured, o.captured);
    put(stop, o.stop);
    put(restart_needed, o.restart_needed);
    put(spatial_index, o.spatial_index);
    put(grid, o.grid);
    put(found, o.found);
}

void NormalSmoother::copy_state(const NormalSmoother& other)
{
    each_field(other, [](auto& to, const auto& from) { to = from; });
}

void NormalSmoother::take_state(NormalSmoother&& other)
{
    each_field(other, [](auto& to, auto& from) { to = std::move(from); });
}
