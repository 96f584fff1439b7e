// A classification on screen, on a virtual display: the seed faces drawn
// over the mesh, the patches in their colours, and browsing them.
#include <algorithm>

#include <gtest/gtest.h>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"
#include "view/mesh_drawing.h"

namespace {

bool is_yellow(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80;
}
// Patch 0 of 2 is red, patch 1 cyan (hue 179.5).
bool is_red(QRgb p)
{
    return qRed(p) > 90 && qGreen(p) < 40 && qBlue(p) < 40;
}
bool is_cyan(QRgb p)
{
    return qRed(p) < 40 && qGreen(p) > 90 && qBlue(p) > 90;
}
// Faded towards white.
bool is_pale(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) > 150 && p != qRgb(255, 255, 255);
}

int yellow_pixels(const QImage& image)
{
    return count_pixels(image, is_yellow);
}

// open_grid(6) shrunk to one unit (191 pixels framed), blue.
std::string blue_grid()
{
    const Vector blue(0, 0, 1);
    return obj_text(*named::open_grid(6), 1.0f / 6.0f, Vector(0, 0, 0), &blue);
}

}  // namespace

using ClassifierOverlay = GLViewTest;

TEST_F(ClassifierOverlay, SeedFacesShowInYellowUntilTheMeshIsReloaded)
{
    load(blue_grid());
    EXPECT_EQ(yellow_pixels(frame()), 0);

    printed(console, [&] { view.meshclassify_slot(); });
    const int k = view.document.classifier.num_patches;
    ASSERT_GE(k, 2);
    const int shown = yellow_pixels(frame());
    // Each seed is one of 72 faces of a 191 x 191 pixel square: about 506 pixels.
    EXPECT_GT(shown, 400 * k);
    EXPECT_LT(shown, 600 * k);

    printed(console, [&] { view.reload_slot(); });
    EXPECT_EQ(yellow_pixels(frame()), 0);
    // The mesh as loaded has no face colours to show: back to the vertex colours.
    EXPECT_EQ(view.render_mode, RENDER_POLYGONS);
    view.set_render_mode(RENDER_FACE_COLOURS);
    printed(console, [&] { view.build_vertexcoloursterrain_slot({QColor(0, 0, 255), QColor(255, 0, 0)}, {0, 1}); });
    EXPECT_EQ(view.render_mode, RENDER_POLYGONS);
}

TEST_F(ClassifierOverlay, PatchesShowInTheirColoursAndBrowsingLightsOneOfThem)
{
    // Two grids side by side: two patches, each its own part.
    ASSERT_EQ(load(obj_text(*named::two_grids(4))), LoadResult::Loaded);
    view.set_render_mode(RENDER_POLYGONS);
    printed(console, [&] { view.meshclassify_slot(); });
    EXPECT_EQ(view.render_mode, RENDER_FACE_COLOURS);
    printed(console, [&] { view.numpatches_slot(2); });
    ASSERT_EQ(view.document.classifier.num_patches, 2);

    QImage image = frame();
    const int red = count_pixels(image, is_red), cyan = count_pixels(image, is_cyan);
    EXPECT_GT(red, 2000);
    EXPECT_GT(cyan, 2000);
    // Each patch is one grid, on its own side of the view.
    const int middle = 150;
    const bool red_left = count_pixels(image, is_red, 0, middle) > red / 2;
    EXPECT_EQ(count_pixels(image, is_cyan, red_left ? 0 : middle, red_left ? middle : 300), 0);

    // "Next" to patch 1: lit in its colour, patch 0 faded.
    view.nextpatch_slot(1);
    view.patchthresh_slot(50);
    image = frame();
    EXPECT_GT(count_pixels(image, is_cyan), cyan * 9 / 10);
    EXPECT_LT(count_pixels(image, is_red), red / 10);
    EXPECT_GT(count_pixels(image, is_pale), red / 2);
    // "Previous" to patch 0.
    view.previouspatch_slot(0);
    image = frame();
    EXPECT_GT(count_pixels(image, is_red), red * 9 / 10);
    EXPECT_LT(count_pixels(image, is_cyan), cyan / 10);

    // A new classification stops the browsing.
    printed(console, [&] { view.meshclassify_slot(); });
    EXPECT_EQ(view.shown_patch, -1);
}

TEST_F(ClassifierOverlay, TheThresholdLightsTheFacesWhoseMembershipExceedsIt)
{
    ASSERT_EQ(load(blue_grid()), LoadResult::Loaded);
    printed(console, [&] {
        view.meshclassify_slot();
        view.numpatches_slot(3);
    });
    ASSERT_EQ(view.document.classifier.probabilities.size(), 3u);
    view.nextpatch_slot(0);
    auto lit = [&] {
        const QImage image = frame();
        return count_pixels(image, [](QRgb p) { return !is_pale(p) && p != qRgb(255, 255, 255); });
    };
    view.patchthresh_slot(1);
    const int loose = lit();
    view.patchthresh_slot(60);
    const int strict = lit();
    EXPECT_GT(strict, 0);
    EXPECT_LT(strict, loose);
    // What is lit is what exceeds the threshold (the patch's own faces in
    // full, others at half strength), and the yellow seeds.
    const Mesh_Classifier& classifier = view.document.classifier;
    const std::vector<float>& membership = classifier.probabilities[0];
    std::vector<bool> shown(std::size_t(view.document.mesh.nf), false);
    for (std::size_t f = 0; f < shown.size(); ++f) shown[f] = membership[f] > 0.6f;
    for (int p = 0; p < 3; ++p) shown[std::size_t(classifier.seeds[std::size_t(p)])] = true;
    const int expected = int(std::count(shown.begin(), shown.end(), true));
    EXPECT_LT(expected, view.document.mesh.nf);
    // 72 faces in a 191 x 191 square: about 506 pixels each.
    EXPECT_NEAR(strict, expected * 506, 500 + expected * 60);
}
