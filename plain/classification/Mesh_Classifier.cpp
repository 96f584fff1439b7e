#include "classification/Mesh_Classifier.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "classification/face_distances.h"
#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/parallel_parts.h"
#include "core/StageProgress.h"
#include "core/text_file.h"
#include "traversal/EdgeTraversal.h"

namespace {

// sums[j] = the sum over faces t != j, in ascending t, of term(j, t, get(j, t)).
// The table is swept row by row: row a gives face a its terms t < a and
// gives every face b < a its term t = a, so each sum still adds its terms
// in ascending t while the table is read front to back. Threads take
// disjoint ranges of j, and every sum keeps its order whatever the count.
// `row_of(a)` is row a in the table's own form, `value` turns one of its
// cells into the distance.
template <class RowOf, class Value, class Term>
void sweep_sums(int n, const RowOf& row_of, const Value& value, std::vector<double>& sums, const Term& term,
                int threads)
{
    sums.assign(static_cast<std::size_t>(n), 0.0);
    const int parts = n < 512 ? 1 : threads;
    run_parts(parts, [&](int part, int count) {
        const int lo = int(std::int64_t(n) * part / count);
        const int hi = int(std::int64_t(n) * (part + 1) / count);
        double* out = sums.data();
        for (int a = lo; a < n; ++a) {
            const auto* row = row_of(a);
            if (a < hi) {
                double s = 0.0;
                for (int b = 0; b < a; ++b) s += term(a, b, value(row[b]));
                out[a] = s;
            }
            const int end = std::min(a, hi);
            for (int b = lo; b < end; ++b) out[b] += term(b, a, value(row[b]));
        }
    });
}

template <class Term>
void ordered_sums(const ShortestPathTable& table, std::vector<double>& sums, const Term& term, int threads)
{
    if (table.compact)
        sweep_sums(
            table.n, [&table](int a) { return table.step_row(a); },
            [](std::uint16_t s) { return ShortestPathTable::decode(s); }, sums, term, threads);
    else
        sweep_sums(
            table.n, [&table](int a) { return table.row(a); }, [](float d) { return d; }, sums, term, threads);
}

void print_seeds(const std::vector<int>& seeds, int k, Messages& out)
{
    for (int p = 0; p < k; ++p) out.info(format_text("%d\n", seeds[p]));
}

}  // namespace

Vector patch_colour(int p, int k)
{
    return hue_colour(359.0f * float(p) / float(k));
}

Mesh_Classifier::Mesh_Classifier(Mesh* target, Messages& out)
    : mesh(target), messages(out), threads(engine_threads()), memory_limit(double(usable_memory()))
{}

void Mesh_Classifier::reset()
{
    weight = 0.5;
    mean_length = 0.0f;
    mean_bend = 0.0f;
    // A table never outlives the mesh it was made for.
    forget_patches();
}

void Mesh_Classifier::forget_patches()
{
    rebuild = true;
    max_patches = 0;
    num_patches = 0;
    std::vector<int>().swap(seeds);
    std::vector<Vector>().swap(patch_colours);
    std::vector<Vector>().swap(centroids);
    std::vector<std::vector<float>>().swap(probabilities);
    neighbours.clear();
    std::vector<int>().swap(face_patch);
    std::vector<FaceLink>().swap(links);
    table.release();
}

double Mesh_Classifier::classification_bytes(int faces, bool counts)
{
    // Besides the table, per face: memberships and the seed distances they
    // are made from (two floats a patch), labels (an int a patch), the dual
    // graph, links and centroids, and each thread's search lists.
    const double per_face = 3.0 * 4.0 * 51.0 + 256.0;
    return ShortestPathTable::bytes_for(faces, counts) + per_face * double(faces);
}

double Mesh_Classifier::budget() const
{
    double held = 0.0;
    if (mesh) {
        const double values = mesh->morphogen_values.empty() ? 0.0 : double(mesh->morphogen_values[0].size());
        // The mesh, the document's copy of it for reloading, its edge list.
        held = mesh_bytes(mesh->nv, mesh->nf, values) + reload_copy_bytes(mesh->nv, mesh->nf, values) +
               edge_list_bytes(mesh->nv, mesh->nf, mesh->edge_count);
    }
    return std::max(0.0, memory_limit - held);
}

int Mesh_Classifier::max_faces(bool counts) const
{
    const double room = budget();
    int lo = 0, hi = std::numeric_limits<int>::max() / 2;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (classification_bytes(mid, counts) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

bool Mesh_Classifier::announce_table(int faces, bool counts) const
{
    const int most = max_faces(counts);
    messages.info(format_text("MAX mesh triangles: %d\n", most));
    if (faces > most) {
        messages.error(format_text(
            "ERROR: the mesh has %d faces; a shortest path table holds at most %d here: this one would need %s, "
            "and %s of memory is left for it [Mesh_Classifier::allocate()]\n",
            faces, most, megabytes(classification_bytes(faces, counts)).c_str(), megabytes(budget()).c_str()));
        return false;
    }
    const std::int64_t entries = ShortestPathTable::entries_for(faces);
    messages.info(format_text("Allocating: %.2fMB\n", ShortestPathTable::bytes_for(faces, counts) / (1 << 20)));
    messages.info(format_text("Size: %" PRId64 "\n", entries));
    return true;
}

bool Mesh_Classifier::build_table()
{
    const int n = mesh->nf;
    messages.info(sp_mode == 0 ? "Using Floyd Shortest Path\n" : "Using Dijkstra Shortest Path\n");
    // Mode 0 needs only step counts, which the table can hold in two bytes.
    const bool counts = sp_mode == 0;
    if (!announce_table(n, counts)) return false;
    table.allocate(n, counts);
    build_centroids();
    build_links();
    const FaceGraph graph = FaceGraph::from_links(n, links);
    // Row s holds s + 1 cells, so the cells filled measure the work done.
    StageProgress stage(messages, "Shortest paths", (long long)n * (n + 1) / 2);
    const RowHook each_row = [&](int part, int row) {
        if (part == 0)
            stage.at((long long)row * (row + 1) / 2);
        else
            messages.check_cancelled();
    };
    if (sp_mode == 0)
        step_distances(graph, table, threads, each_row);
    else
        weighted_distances(graph, table, threads, each_row);
    return true;
}

void Mesh_Classifier::build_centroids()
{
    messages.info("Building Centroids\n");
    centroids.clear();
    centroids.reserve(std::size_t(mesh->nf));
    for (int i = 0; i < mesh->nf; ++i) {
        const int* vi = mesh->faces[i].vi;
        Vector c = mesh->vertices[vi[0]] + mesh->vertices[vi[1]] + mesh->vertices[vi[2]];
        c.x /= 3.0f;
        c.y /= 3.0f;
        c.z /= 3.0f;
        centroids.push_back(c);
    }
}

void Mesh_Classifier::build_links()
{
    messages.info("Building Distances\n");
    links = dual_links(*mesh, centroids, weight, mean_length, mean_bend);
}

bool Mesh_Classifier::classify()
{
    if (!mesh || mesh->nf == 0) {
        messages.error("ERROR: the mesh has no faces to classify [Mesh_Classifier::classify()]\n");
        return false;
    }
    // A loaded table is used only while it still fits the mesh.
    if (rebuild || table.n != mesh->nf) {
        if (!build_table()) return false;
    }
    max_patches = 50;
    StageProgress stage(messages, "Patches", 6, 6);
    stage.at(0);
    build_patches();
    stage.at(1);
    choose_patch_count();
    const int k = num_patches;
    compute_probabilities(k);
    stage.at(2);
    find_neighbours(k);
    stage.at(3);
    refine_seeds(k);
    stage.at(4);
    colour_seeds(k);
    label_faces(k);
    stage.at(6);
    face_patch.clear();
    return true;
}

void Mesh_Classifier::build_patches()
{
    messages.info("Building Patches\n");
    seeds.clear();
    const int n = table.n;
    std::vector<double> sums;
    ordered_sums(
        table, sums, [](int, int, float d) { return double(d); }, threads);
    // The last face reaching the smallest sum wins; face 0 when none is
    // within far_away.
    double low = far_away;
    int first = 0;
    for (int i = 0; i < n; ++i)
        if (sums[i] <= low) {
            low = sums[i];
            first = i;
        }
    seeds.push_back(first);

    // nearest[i]: distance of face i to its nearest seed so far.
    std::vector<float> nearest(static_cast<std::size_t>(n), ShortestPathTable::unreachable);
    for (int round = 0; round < max_patches; ++round) {
        messages.check_cancelled();
        const std::vector<float> from = distances_from(seeds.back());
        float top = 0.0f;
        int pick = 0;
        for (int i = 0; i < n; ++i) {
            nearest[i] = std::min(nearest[i], from[i]);
            if (nearest[i] >= top) {
                top = nearest[i];
                pick = i;
            }
        }
        seeds.push_back(pick);
    }
}

void Mesh_Classifier::choose_patch_count()
{
    const int count = int(seeds.size());
    std::vector<float> spacing(std::size_t(count), ShortestPathTable::unreachable);
    for (int i = 1; i < count; ++i)
        for (int j = 0; j < i; ++j) spacing[i] = std::min(spacing[i], table.get(seeds[i], seeds[j]));
    float top = 0.0f;
    num_patches = 0;
    for (int j = 2; j < count; ++j) {
        const float drop = spacing[j - 1] - spacing[j];
        if (drop >= top) {
            top = drop;
            num_patches = j;
        }
    }
    messages.info(format_text("Optimal Number of Patches:%d\n", num_patches));
}

std::vector<float> Mesh_Classifier::distances_from(int face) const
{
    const int n = table.n;
    std::vector<float> d(static_cast<std::size_t>(n));
    if (table.compact) {
        const std::uint16_t* row = table.step_row(face);
        std::transform(row, row + face + 1, d.begin(), ShortestPathTable::decode);
        for (int f = face + 1; f < n; ++f) d[f] = ShortestPathTable::decode(table.step_row(f)[face]);
    } else {
        const float* row = table.row(face);
        std::copy(row, row + face + 1, d.begin());
        for (int f = face + 1; f < n; ++f) d[f] = table.row(f)[face];
    }
    return d;
}

void Mesh_Classifier::compute_probabilities(int k)
{
    const int n = table.n;
    probabilities.assign(static_cast<std::size_t>(k), std::vector<float>(static_cast<std::size_t>(n)));
    patch_colours.resize(static_cast<std::size_t>(k));
    std::vector<std::vector<float>> from(static_cast<std::size_t>(k));
    for (int p = 0; p < k; ++p) from[p] = distances_from(seeds[p]);
    for (int f = 0; f < n; ++f) {
        // Another patch's seed is at distance 0: its infinite share leaves
        // every other patch 0.
        float total = 0.0f;
        for (int q = 0; q < k; ++q) total += 1.0f / from[q][f];
        for (int p = 0; p < k; ++p) probabilities[p][f] = f == seeds[p] ? 1.0f : (1.0f / from[p][f]) / total;
    }
    for (int p = 0; p < k; ++p) patch_colours[p] = patch_colour(p, k);
}

void Mesh_Classifier::find_neighbours(int k)
{
    neighbours.clear();
    for (int i = 0; i < k; ++i) {
        int nearest = 0;
        float low = far_away;
        for (int j = 0; j < k; ++j) {
            if (j == i) continue;
            const float d = table.get(seeds[j], seeds[i]);
            if (d <= low) {
                low = d;
                nearest = j;
            }
        }
        int second = 0;
        low = far_away;
        for (int j = 0; j < k; ++j) {
            if (j == i || j == nearest) continue;
            const float d = table.get(seeds[j], seeds[i]);
            if (d <= low) {
                low = d;
                second = j;
            }
        }
        neighbours.emplace_back(nearest, second);
        messages.info(format_text("neigbour: %d\n", second));
    }
}

// Moves each seed to the face with the smallest fuzzy distance sum against
// its nearest neighbouring patch. Repeating the search with unchanged seeds
// finds the same face, so one search per patch is enough; the partner face
// of the neighbouring patch only ever decided when to stop repeating, so it
// is not searched for.
void Mesh_Classifier::refine_seeds(int k)
{
    messages.info("Eval FUZZY\n");
    print_seeds(seeds, k, messages);
    const int n = table.n;
    std::vector<char> earlier(static_cast<std::size_t>(n), 0);
    std::vector<double> sums;
    for (int p = 0; p < k; ++p) {
        compute_probabilities(k);
        const std::vector<float>& own = probabilities[p];
        const std::vector<float>& other = probabilities[neighbours[p].first];
        ordered_sums(
            table, sums,
            [&own, &other](int j, int t, float d) { return double(d) * own[j] / (double(own[j]) + double(other[t])); },
            threads);
        double low = far_away;
        for (int j = 0; j < n; ++j) {
            if (earlier[j] || !(sums[j] <= low)) continue;
            low = sums[j];
            // When no face comes within far_away the seed stays where it is
            // rather than taking a face found for an earlier patch.
            seeds[p] = j;
        }
        earlier[seeds[p]] = 1;
    }
    print_seeds(seeds, k, messages);
    compute_probabilities(k);
}

void Mesh_Classifier::colour_seeds(int k)
{
    for (int p = 0; p < k; ++p) mesh->faces[seeds[p]].colour = Vector(1.0f, 1.0f, 0.0f);
}

// Each face is labelled against every patch's nearest neighbour: the patch
// itself where the neighbour's membership is below 0.1, the neighbour above
// 0.9, 0 in the fuzzy zone between. Its colour is the mean over those labels
// of the label's patch colour, grey for label 0.
void Mesh_Classifier::label_faces(int k)
{
    const int n = mesh->nf;
    const Vector grey(0.5f, 0.5f, 0.5f);
    for (Face& f : mesh->faces) f.colour = Vector(0.0f, 0.0f, 0.0f, 0.0f);
    std::vector<int> labels(static_cast<std::size_t>(n) * static_cast<std::size_t>(k), 0);
    std::vector<char> used(static_cast<std::size_t>(k), 0);
    for (int c = 0; c < k; ++c) {
        const int nb = neighbours[c].first;
        used[nb] = 1;
        const std::vector<float>& member = probabilities[nb];
        for (int f = 0; f < n; ++f) {
            const float p = member[f];
            labels[std::size_t(f) * k + nb] = p < 0.1f ? c : p > 0.9f ? nb : 0;
        }
    }
    for (int f = 0; f < n; ++f) {
        Vector sum(0.0f, 0.0f, 0.0f);
        int count = 0;
        for (int s = 0; s < k; ++s) {
            if (!used[s]) continue;
            const int label = labels[std::size_t(f) * k + s];
            sum += label != 0 ? patch_colours[label] : grey;
            ++count;
        }
        Vector colour = count ? sum / float(count) : grey;
        colour.w = 1.0f;
        mesh->faces[f].colour = colour;
    }
    colour_seeds(k);
}

void Mesh_Classifier::assign(int k)
{
    if (k <= 0) return;
    const int n = table.n;
    patch_colours.resize(static_cast<std::size_t>(k));
    for (int p = 0; p < k; ++p) patch_colours[p] = patch_colour(p, k);
    std::vector<int> label(static_cast<std::size_t>(n), 0);
    std::vector<int> new_seed(static_cast<std::size_t>(k), 0);
    std::vector<double> sums;
    for (int iteration = 1;; ++iteration) {
        messages.check_cancelled();
        std::vector<std::vector<float>> from(static_cast<std::size_t>(k));
        for (int p = 0; p < k; ++p) from[p] = distances_from(seeds[p]);
        // Nearest seed, the later patch on a tie; a face near no seed joins
        // the previous face's patch.
        int choice = 0;
        for (int i = 0; i < n; ++i) {
            float low = far_away;
            for (int p = 0; p < k; ++p) {
                const float d = i == seeds[p] ? 0.0f : from[p][i];
                if (d <= low) {
                    low = d;
                    choice = p;
                }
            }
            label[i] = choice;
        }
        // Medoids: the last member with the smallest sum of distances to
        // its fellow members; a patch with none within far_away keeps its
        // previous medoid.
        ordered_sums(
            table, sums, [&label](int j, int t, float d) { return label[j] == label[t] ? double(d) : 0.0; }, threads);
        std::vector<double> low(static_cast<std::size_t>(k), far_away);
        for (int i = 0; i < n; ++i) {
            const int p = label[i];
            if (sums[i] <= low[p]) {
                low[p] = sums[i];
                new_seed[p] = i;
            }
        }
        const bool converged = std::equal(new_seed.begin(), new_seed.end(), seeds.begin());
        if (!converged) std::copy(new_seed.begin(), new_seed.end(), seeds.begin());
        if (iteration == max_assign_iterations) {
            messages.warning("WARNING: MAX ITERATIONS REACHED!!!\n");
            break;
        }
        if (converged) break;
    }
    for (int i = 0; i < n; ++i) mesh->faces[i].colour = patch_colours[label[i]];
    face_patch = label;
}

bool Mesh_Classifier::has_patches(int k) const
{
    return mesh && k >= 0 && static_cast<std::size_t>(k) <= seeds.size() && table.n == mesh->nf && mesh->nf > 0;
}

void Mesh_Classifier::set_patch_count(int k)
{
    if (!has_patches(k)) {
        messages.error(
            format_text("ERROR: no classification with %d patches to show; classify the mesh first "
                        "[Mesh_Classifier::assign()]\n",
                        k));
        return;
    }
    num_patches = k;
    assign(k);
    compute_probabilities(k);
}

bool Mesh_Classifier::save(const std::string& path) const
{
    messages.info("Saving Shortest Path Table\n");
    bool ok = false;
    if (!mesh || table.n == 0 || table.n != mesh->nf) {
        messages.error(
            "ERROR: no shortest path table of this mesh to save; classify it first "
            "[Mesh_Classifier::save()]\n");
    } else {
        const ShortestPathTable::FileResult r = table.write(path);
        if (r.status == ShortestPathTable::FileResult::NotOpened)
            messages.error(file_error_line("ERROR: could not open file... [Mesh_Classifier::save()]", path, r.problem),
                           path);
        else if (r.status == ShortestPathTable::FileResult::Failed)
            messages.error(format_text("ERROR: %s: %s [Mesh_Classifier::save()]\n", path.c_str(), r.problem.c_str()),
                           path);
        ok = r.status == ShortestPathTable::FileResult::Done;
    }
    return ok;
}

bool Mesh_Classifier::load(const std::string& path)
{
    messages.info("Loading Shortest Path Table\n");
    const int n = mesh ? mesh->nf : 0;
    bool ok = false;
    if (announce_table(n, sp_mode == 0)) {
        const ShortestPathTable::FileResult r = ShortestPathTable::read(path, n, table);
        if (r.status == ShortestPathTable::FileResult::NotOpened)
            messages.error(file_error_line("ERROR: could not open file... [Mesh_Classifier::load()]", path, r.problem),
                           path);
        else if (r.status == ShortestPathTable::FileResult::Failed)
            messages.error(format_text("ERROR: %s: %s [Mesh_Classifier::load()]\n", path.c_str(), r.problem.c_str()),
                           path);
        ok = r.status == ShortestPathTable::FileResult::Done;
        // Later classifications use the loaded table instead of building one.
        if (ok) rebuild = false;
    }
    return ok;
}

template <class Other, class Put>
void Mesh_Classifier::each_field(Other& o, const Put& put)
{
    put(rebuild, o.rebuild);
    put(centroids, o.centroids);
    put(sp_mode, o.sp_mode);
    put(weight, o.weight);
    put(mean_length, o.mean_length);
    put(mean_bend, o.mean_bend);
    put(links, o.links);
    put(threads, o.threads);
    put(memory_limit, o.memory_limit);
    put(seeds, o.seeds);
    put(patch_colours, o.patch_colours);
    put(probabilities, o.probabilities);
    put(neighbours, o.neighbours);
    put(max_patches, o.max_patches);
    put(num_patches, o.num_patches);
    put(face_patch, o.face_patch);
}

void Mesh_Classifier::copy_state(const Mesh_Classifier& other, bool with_table)
{
    each_field(other, [](auto& to, const auto& from) { to = from; });
    if (with_table) table = other.table;
}

void Mesh_Classifier::take_state(Mesh_Classifier&& other, bool with_table)
{
    each_field(other, [](auto& to, auto& from) { to = std::move(from); });
    if (with_table) table = std::move(other.table);
}
