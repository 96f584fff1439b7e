#pragma once

#include <string>
#include <utility>
#include <vector>

#include "classification/FaceGraph.h"
#include "classification/ShortestPathTable.h"
#include "core/Vector.h"

class Mesh;
class Messages;

// Cuts a mesh into patches of faces that lie close together in the
// face-to-face distance of its ShortestPathTable: seeds spread by farthest
// points, a patch count where the seed spacing drops most, fuzzy
// memberships, seed refinement and a k-medoids assignment. Works on the
// view's mesh and owns only its working data. Console lines report each
// stage.
class Mesh_Classifier {
public:
    static constexpr float far_away = 1000000.0f;  // start of the running minima
    static constexpr int max_assign_iterations = 500;

    Mesh* mesh = nullptr;
    Messages& messages;

    // Distance table and the dual graph it is built from.
    bool rebuild = true;
    std::vector<Vector> centroids;
    int sp_mode = 0;      // 0 = steps between faces, 1 = weighted (Dijkstra) distances
    double weight = 0.5;  // share of the centroid distance in a link weight
    float mean_length = 0.0f;
    float mean_bend = 0.0f;
    std::vector<FaceLink> links;
    ShortestPathTable table;
    int threads = 1;
    // Bytes the classification may take in all, the mesh it reads included;
    // starts at the memory this process may use (usable_memory).
    double memory_limit;

    // Patches.
    std::vector<int> seeds;
    std::vector<Vector> patch_colours;
    std::vector<std::vector<float>> probabilities;  // [patch][face]
    std::vector<std::pair<int, int>> neighbours;    // nearest and second-nearest patch
    int max_patches = 0;
    int num_patches = 0;
    std::vector<int> face_patch;  // patch of each face after assign(), else empty

    Mesh_Classifier(Mesh* target, Messages& messages);

    // Forgets everything about the previous mesh; sp_mode stays.
    void reset();
    // Forgets the table and the patches (after a failed classification);
    // the settings stay.
    void forget_patches();

    // The whole classification; false (after one console line) when the
    // mesh has no faces or too many for a table in memory_limit.
    bool classify();
    // The most faces whose classification fits in memory_limit beside the
    // mesh, with a table of step counts (`counts`, mode 0) or of floats.
    int max_faces(bool counts) const;
    // Bytes a classification of `faces` faces takes besides the mesh.
    static double classification_bytes(int faces, bool counts);
    // Shows k patches: assign(k) then the memberships for k. Refused with
    // one line unless a classification of this mesh has at least k seeds.
    void set_patch_count(int k);

    // Table steps, run by classify() while rebuild is set.
    bool build_table();
    void build_centroids();
    void build_links();

    // Stages of classify().
    void build_patches();
    void choose_patch_count();
    void compute_probabilities(int k);
    void find_neighbours(int k);
    void refine_seeds(int k);
    void label_faces(int k);
    void assign(int k);

    bool save(const std::string& path) const;
    bool load(const std::string& path);

    // The state and settings of `other` (the classifier of a copy of the
    // document): everything but the channel, the mesh pointed at and, unless
    // `with_table`, the distance table.
    void copy_state(const Mesh_Classifier& other, bool with_table);
    void take_state(Mesh_Classifier&& other, bool with_table);

private:
    template <class Other, class Put>
    void each_field(Other& other, const Put& put);
    bool announce_table(int faces, bool counts) const;
    double budget() const;
    bool has_patches(int k) const;
    void colour_seeds(int k);
    std::vector<float> distances_from(int face) const;
};

// Colour of patch p of k: hue 359 * p / k degrees at full saturation and value.
Vector patch_colour(int p, int k);
