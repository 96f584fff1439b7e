// The clipping planes in the view, on a virtual display: the slots the
// panel reaches, mouse drags of selected planes, and the outlines drawn.
// The cut itself is seen in the session test.
#include <array>
#include <cstdlib>

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"

namespace {

// A red square of side 1 centred on the origin, facing the viewer. Its
// clipping box has a margin of a tenth of its size on every side: 1.2 x 1.2
// x 0.2, and a push or pull of 300 pixels sweeps a plane across it.
const char* const red_square =
    "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv -0.5 0.5 0\nv 0.5 0.5 0\n"
    "vc 1 0 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\n"
    "f 1 2 3\nf 2 4 3\n";

bool is_yellowish(QRgb p)
{
    return qRed(p) > 120 && qGreen(p) > 120 && qBlue(p) < 60 && std::abs(qRed(p) - qGreen(p)) < 40;
}
bool is_greyish(QRgb p)
{
    return qRed(p) > 40 && qRed(p) < 200 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}

class ClippingViewTest : public GLViewTest {
protected:
    ClippingViewTest() { first_mesh = red_square; }
    void drag(Qt::MouseButton button, QPoint from, QPoint to) { ::drag(view, button, from, to); }
};

void expect_size(const PlaneWidgetInCube& cube, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(cube.size[0], x);
    EXPECT_FLOAT_EQ(cube.size[1], y);
    EXPECT_FLOAT_EQ(cube.size[2], z);
}

}  // namespace

TEST_F(ClippingViewTest, LoadFitsTheBoxAroundTheMeshWhereverItIs)
{
    expect_size(view.cube, 1.2f, 1.2f, 0.2f);
    EXPECT_FLOAT_EQ(view.cube.planes[2].centre.x, 0.6f);

    QSignalSpy reset(&view, &QtGLWidget::cutplanes_reset_signal);
    view.cutplane_select_slot(2);
    EXPECT_EQ(view.plane_interaction, 1);
    load("v 0 0 -3\nv 5 0 -3\nv 0 2 -1\nf 1 2 3\n");
    expect_size(view.cube, 6.0f, 3.0f, 3.0f);
    EXPECT_FALSE(view.cube.any_selected());
    EXPECT_EQ(view.plane_interaction, 0);
    EXPECT_EQ(reset.count(), 1);

    // No positive coordinate, or far away: the box still fits the mesh.
    load("v -1 -1 -1\nv -2 -1 -1\nv -1 -2 -1\nf 1 2 3\n");
    expect_size(view.cube, 1.2f, 1.2f, 0.2f);
    load("v 5000 -3000 100\nv 5001 -3000 100\nv 5000 -2999 100\nf 1 2 3\n");
    expect_size(view.cube, 1.2f, 1.2f, 0.2f);
    // A point gets a unit box with its margin.
    load("v 7 7 7\nv 7 7 7\nv 7 7 7\nf 1 2 3\n");
    expect_size(view.cube, 1.2f, 1.2f, 1.2f);
}

TEST_F(ClippingViewTest, APushOf300PixelsSweepsTheBoxWhateverTheMeshsSizeAndPlace)
{
    const Vector blue(0, 0, 1);
    for (const std::string& mesh :
         {std::string(red_square), obj_text(*named::octahedron(), 500.0f, Vector(5000, -3000, 800), &blue)}) {
        load(mesh);
        view.cutplane_select_slot(2);
        const float from = view.cube.planes[2].centre.x;
        EXPECT_FLOAT_EQ(from, view.cube.size[0] / 2);
        drag(Qt::RightButton, QPoint(100, 0), QPoint(100, 300));  // down: inwards
        EXPECT_NEAR(view.cube.planes[2].centre.x, -from, 1e-4f * from);
        view.cutplane_resetall_slot();
    }
}

TEST_F(ClippingViewTest, ReloadKeepsThePlanesOfTheSameMesh)
{
    QSignalSpy reset(&view, &QtGLWidget::cutplanes_reset_signal);
    view.cutplane_select_slot(2);
    drag(Qt::RightButton, QPoint(100, 100), QPoint(100, 150));
    const Vector pushed = view.cube.planes[2].centre;
    printed(console, [&] { view.reload_slot(); });
    EXPECT_EQ(view.cube.planes[2].centre, pushed);
    EXPECT_TRUE(view.cube.any_selected());
    EXPECT_EQ(reset.count(), 0);
}

TEST_F(ClippingViewTest, SlotsSelectShowAndReset)
{
    view.cutplane_select_slot(0);
    view.cutplane_select_slot(3);
    EXPECT_EQ(view.plane_interaction, 1);
    view.cutplane_select_slot(0);
    EXPECT_EQ(view.plane_interaction, 1);
    view.cutplane_select_slot(3);
    EXPECT_EQ(view.plane_interaction, 0);

    view.cutplane_showall_slot(1);
    EXPECT_EQ(view.cube.outlines[4].size(), 4u);
    view.cutplane_showall_slot(0);
    EXPECT_EQ(view.cube.show_all, 0);

    view.cutplane_select_slot(1);
    view.cutplane_invert_slot(2);
    EXPECT_EQ(view.plane_interaction, 1);
    view.cutplane_invert_slot(1);
    EXPECT_EQ(view.cube.show_all, 1);
    view.cutplane_invert_slot(0);
    EXPECT_EQ(view.cube.show_all, 0);
    EXPECT_EQ(view.plane_interaction, 0);

    view.cutplane_select_slot(4);  // plane 1 is still selected in the cube
    view.cutplane_resetall_slot();
    EXPECT_FALSE(view.cube.any_selected());
    EXPECT_EQ(view.plane_interaction, 0);
}

TEST_F(ClippingViewTest, SelectedPlanesTakeEveryMouseButton)
{
    view.cutplane_select_slot(2);
    const float magnification = view.magnification;
    drag(Qt::RightButton, QPoint(100, 150), QPoint(100, 140));  // up by 10: a 30th of the box out
    EXPECT_NEAR(view.cube.planes[2].centre.x, 0.64f, 1e-6f);
    EXPECT_EQ(view.magnification, magnification);

    drag(Qt::LeftButton, QPoint(150, 100), QPoint(150, 200));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view.camera.transform[i], i % 5 == 0 ? 1.0f : 0.0f);
    EXPECT_NE(view.cube.planes[2].normal, Vector(1, 0, 0));
    EXPECT_NEAR(view.cube.planes[2].normal.z, 0.0f, 1e-6f);  // turned about z

    view.cutplane_resetcurrent_slot();
    EXPECT_FLOAT_EQ(view.cube.planes[2].centre.x, 0.6f);

    // Saved and loaded back through the view's slots.
    drag(Qt::MiddleButton, QPoint(100, 150), QPoint(180, 150));
    const Vector tilted = view.cube.planes[2].normal;
    const QString file = QString::fromStdString(dir.file("cut.slc"));
    view.cutplane_save_slot(file);
    view.cutplane_resetall_slot();
    view.cutplane_load_slot(file);
    EXPECT_EQ(view.cube.planes[2].normal, tilted);
}

TEST_F(ClippingViewTest, SelectedPlaneOutlineIsYellowTheOthersGrey)
{
    // Seen at a slant, with plane 0 (z+) pushed halfway in, its outline runs
    // across the inside of the side faces, clear of the box edges.
    view.camera.set_bounds(300, 300);
    view.camera.click(Vector(150, 150, 0));
    view.camera.move(Vector(190, 120, 0));
    view.camera.dragging = false;
    view.cutplane_select_slot(0);
    drag(Qt::RightButton, QPoint(100, 150), QPoint(100, 225));
    ASSERT_NEAR(view.cube.planes[0].centre.z, 0.05f, 1e-6f);

    const QImage selected = frame();
    EXPECT_GT(count_pixels(selected, is_yellowish), 200);
    EXPECT_GT(count_pixels(selected, is_greyish), 200);

    view.cutplane_select_slot(0);
    const QImage none = frame();
    EXPECT_EQ(count_pixels(none, is_yellowish), 0);
    EXPECT_EQ(count_pixels(none, is_greyish), 0);
    view.cutplane_showall_slot(1);
    EXPECT_GT(count_pixels(frame(), is_greyish), 200);
}
