// The seed faces of a classification drawn over the mesh, on a virtual display.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"
#include "viewer/QtGLWidget.h"

namespace {

bool is_yellow(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80; }

int yellow_pixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += is_yellow(image.pixel(x, y)) ? 1 : 0;
    return n;
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

TEST(ClassifierOverlay, SeedFacesShowInYellowUntilTheMeshIsReloaded)
{
    TempDir dir;
    QtGLWidget view;
    view.resize(300, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(view.isValid()) << "no OpenGL context";
    testing::internal::CaptureStdout();
    view.load_mesh(QString::fromStdString(dir.write("grid.obj", blue_grid())));
    testing::internal::GetCapturedStdout();

    QTest::qWait(60);
    EXPECT_EQ(yellow_pixels(view.grab_image()), 0);

    testing::internal::CaptureStdout();
    view.meshclassify_slot();
    testing::internal::GetCapturedStdout();
    const int k = view.classifier.num_patches;
    ASSERT_GE(k, 2);
    QTest::qWait(60);
    const int shown = yellow_pixels(view.grab_image());
    // Each seed is one of 72 faces of a 200 x 200 pixel square: about 555 pixels.
    EXPECT_GT(shown, 450 * k);
    EXPECT_LT(shown, 650 * k);

    testing::internal::CaptureStdout();
    view.reload_slot();
    testing::internal::GetCapturedStdout();
    QTest::qWait(60);
    EXPECT_EQ(yellow_pixels(view.grab_image()), 0);
}
