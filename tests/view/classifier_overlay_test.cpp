// The seed faces of a classification drawn over the mesh, on a virtual display.
#include <gtest/gtest.h>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"

namespace {

bool is_yellow(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80;
}

int yellow_pixels(const QImage& image)
{
    return count_pixels(image, is_yellow);
}

// open_grid(6) shrunk to one unit (200 pixels at the starting zoom), blue.
std::string blue_grid()
{
    auto grid = named::open_grid(6);
    std::string text;
    for (const Vector& p : grid->vertices)
        text += "v " + std::to_string(p.x / 6.0f) + " " + std::to_string(p.y / 6.0f) + " 0\n";
    for (int i = 0; i < grid->nv; ++i) text += "vc 0 0 1\n";
    for (const Face& f : grid->faces)
        text += "f " + std::to_string(f.vi[0] + 1) + " " + std::to_string(f.vi[1] + 1) + " " +
                std::to_string(f.vi[2] + 1) + "\n";
    return text;
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
    // Each seed is one of 72 faces of a 200 x 200 pixel square: about 555 pixels.
    EXPECT_GT(shown, 450 * k);
    EXPECT_LT(shown, 650 * k);

    printed(console, [&] { view.reload_slot(); });
    EXPECT_EQ(yellow_pixels(frame()), 0);
}
