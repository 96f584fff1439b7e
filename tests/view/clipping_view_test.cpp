// The clipping planes in the view, on a virtual display: the slots the
// panel reaches, mouse drags of selected planes, and the outlines drawn.
// The cut itself is seen in the session test.
#include <array>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/GLViewTest.h"

namespace {

// A red square of side 1 centred on the origin, facing the viewer: 200 x 200
// pixels at the starting zoom. Its box is 2 wide, so every plane starts 1
// unit (10 window units of push/pull) from the mesh's centre.
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

}  // namespace

TEST_F(ClippingViewTest, LoadSizesTheBoxFromTheMesh)
{
    EXPECT_EQ(view.cube.size, (std::array<float, 3>{2, 2, 2}));
    EXPECT_EQ(view.cube.planes[2].centre, Vector(1, 0, 0));

    view.cutplane_select_slot(2);
    EXPECT_EQ(view.plane_interaction, 1);
    load("v 0 0 -3\nv 5 0 -3\nv 0 2 -1\nf 1 2 3\n");
    EXPECT_EQ(view.cube.size, (std::array<float, 3>{20, 20, 20}));
    EXPECT_FALSE(view.cube.any_selected());
    EXPECT_EQ(view.plane_interaction, 0);

    // No positive coordinate: a box of size 0, which clips nothing.
    load("v -1 -1 -1\nv -2 -1 -1\nv -1 -2 -1\nf 1 2 3\n");
    EXPECT_EQ(view.cube.size, (std::array<float, 3>{0, 0, 0}));
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
    const float zoom = view.zoom;
    drag(Qt::RightButton, QPoint(100, 150), QPoint(100, 140));  // up by 10: one unit out
    EXPECT_EQ(view.cube.planes[2].centre, Vector(2, 0, 0));
    EXPECT_EQ(view.zoom, zoom);

    drag(Qt::LeftButton, QPoint(150, 100), QPoint(150, 200));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view.camera.transform[i], i % 5 == 0 ? 1.0f : 0.0f);
    EXPECT_NE(view.cube.planes[2].normal, Vector(1, 0, 0));
    EXPECT_NEAR(view.cube.planes[2].normal.z, 0.0f, 1e-6f);  // turned about z

    view.cutplane_resetcurrent_slot();
    EXPECT_EQ(view.cube.planes[2].centre, Vector(1, 0, 0));

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
    drag(Qt::RightButton, QPoint(100, 150), QPoint(100, 155));
    ASSERT_EQ(view.cube.planes[0].centre, Vector(0, 0, 0.5f));

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
