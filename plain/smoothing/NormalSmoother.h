#pragma once

#include <vector>

#include "core/ProgressBar.h"
#include "core/Vector.h"
#include "smoothing/CentroidGrid.h"
#include "smoothing/UnvisitedList.h"

class Mesh;
class Messages;

// Smooths the face normals of a mesh so that neighbouring faces come to
// share a direction, by one of three algorithms:
//   mean shift   - a ball moves to the mean of the centroids it captured
//                  until it captures nothing new; its faces form a region;
//   sphere jump  - one ball per region, centred on the region's first face;
//   median filter - 50 passes replacing each normal by the mean normal of
//                  rings of neighbours taken from the face adjacency.
// Regions get the mean (or weighted) normal of their faces. Only face
// normals change. Mean shift and sphere jump keep their place between runs,
// so single steps and full runs continue one cycle over the faces.
class NormalSmoother {
public:
    enum Algorithm { MEAN_SHIFT = 0, SPHERE_JUMP = 1, MEDIAN_FILTER = 2 };
    enum class RunMode { Full, Step };

    // Points a weight curve must have: entries 0 .. 100 of the lookup.
    static constexpr int curve_points = 101;
    static constexpr int median_passes = 50;

    // Reports its stage lines and progress on `messages`.
    explicit NormalSmoother(Messages& messages);

    Messages& messages;

    ProgressBar progress;
    int algorithm = MEAN_SHIFT;
    Mesh* mesh = nullptr;
    UnvisitedList unvisited;
    int seed = 0;
    // Regions closed since the last restart; only their number is reported.
    std::vector<std::vector<Vector>> regions;
    // One entry per face of the growing region: its centroid with w = face index.
    std::vector<Vector> current_region;
    // The same faces as integers: w holds a face index exactly only below 2^24.
    std::vector<int> region_faces;
    int weight_mode = 0;  // 0 plain sums, 1 sums weighted by weight_curve
    int curve_height = 0;
    std::vector<Vector> weight_curve;       // only y is read
    Vector kernel{0.0f, 0.0f, 0.0f, 0.0f};  // x = y = z = radius r, w = raw panel value
    Vector centroid_sum{0.0f, 0.0f, 0.0f, 0.0f};
    Vector normal_sum{0.0f, 0.0f, 0.0f, 1.0f};
    Vector centre{0.0f, 0.0f, 0.0f, 0.0f};  // the ball the view draws
    int processed = 0;
    bool captured = false;
    bool stop = false;
    bool restart_needed = true;
    // Answer ball tests from a grid of the unvisited centroids instead of a
    // walk of the whole list: the same faces in the same order, faster.
    bool spatial_index = true;

    // A zero kernel (x, y and z all 0) does nothing and prints nothing.
    void run(const Vector& kernel_value, RunMode mode, int which);
    // Switches to weighted sums with this curve. A curve of fewer than
    // curve_points points, or a height that is not positive, is refused with
    // one console line and the previous weighting stays.
    bool set_weight_curve(const std::vector<Vector>& curve, int height);

    // The state and settings of `other` (the smoother of a copy of the
    // document): everything but the channel and the mesh pointed at.
    void copy_state(const NormalSmoother& other);
    void take_state(NormalSmoother&& other);

    // contribution(f, c) of the region sums: normal(f), weighted by the
    // curve at f's relative distance from c in weight mode 1.
    Vector contribution(int face, const Vector& c) const;

private:
    template <class Other, class Put>
    void each_field(Other& other, const Put& put);
    void mean_shift(RunMode mode);
    void sphere_jump(RunMode mode);
    void median_filter();

    bool begin_cycle(const char* header);
    void restart();
    void open_region();
    void capture(int face);
    void close_region();
    void give_region(const Vector& normal);
    void print_summary() const;
    // The unvisited faces whose centroid lies in the ball, ascending.
    void faces_in_ball(const Vector& c, std::vector<int>& found);

    CentroidGrid grid;
    std::vector<int> found;
};

// The kernel for a panel's radius value (slider 0 .. 100): r = value / 200
// of the mesh extent in x, y and z, and the raw value in w.
Vector smoothing_kernel(float value, float extent);
