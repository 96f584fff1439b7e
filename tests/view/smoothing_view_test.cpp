// Smoothing through the main window: the panel's controls reach the view's
// smoother, and its ball is drawn.
#include <cmath>

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include "panels/QtFunctionWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "tests/support/GLViewTest.h"
#include "view/mesh_drawing.h"

namespace {

// The ball: red faces under black lines.
bool is_ball(QRgb p)
{
    const bool red = qRed(p) > 100 && qGreen(p) < 40 && qBlue(p) < 40;
    return red || (qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90);
}

class SmoothingView : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (HasFatalFailure()) return;
        // A blue unit square folded along its diagonal, so the two faces differ.
        open("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0.3\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nf 1 2 3\nf 2 4 3\n");
        panel = window.mesh_editor->smoothing;
    }

    QtMeanShiftWidget* panel = nullptr;
};

}  // namespace

TEST_F(SmoothingView, ControlsRunTheSmoother)
{
    const Vector before = document().mesh.faces[1].normal;
    QTest::mouseClick(panel->sphere_jump_button, Qt::LeftButton);
    printed(console, [&] { panel->radius_slider->setValue(100); });
    EXPECT_FLOAT_EQ(document().smoother.kernel.x, 0.5f * document().mesh.extent);
    EXPECT_EQ(document().smoother.kernel.w, 100.0f);

    // Step: one region, here both faces.
    std::string out = printed(console, [&] { panel->step_button->click(); });
    EXPECT_EQ(out.rfind("Step\nEvaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n", 0), 0u) << out;
    EXPECT_NE(out.find("Number of Regions:\t1 \n"), std::string::npos) << out;
    EXPECT_EQ(document().mesh.faces[0].normal, document().mesh.faces[1].normal);
    EXPECT_NE(document().mesh.faces[1].normal, before);

    // Reload brings the mesh back; Apply on the Smoothing page runs a full pass.
    printed(console, [&] { window.mesh_editor->default_button()->click(); });
    EXPECT_EQ(document().mesh.faces[1].normal, before);
    window.mesh_editor->tabs()->setCurrentWidget(panel);
    QTest::mouseClick(panel->median_button, Qt::LeftButton);
    out = printed(console, [&] { window.mesh_editor->apply_button()->click(); });
    EXPECT_EQ(out.rfind("Evaluating MEDIAN_FILTER: \ndepth: 100\n", 0), 0u) << out;

    // A drawn curve switches to weighted sums.
    window.mesh_editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.mesh_editor));
    const QRect area = panel->function->contentsRect();
    QTest::mousePress(panel->function, Qt::LeftButton, Qt::NoModifier, area.bottomLeft());
    QTest::mouseRelease(panel->function, Qt::LeftButton, Qt::NoModifier, area.topRight());
    EXPECT_EQ(document().smoother.weight_curve.size(), 101u);
    EXPECT_EQ(document().smoother.curve_height, area.height());
    QTest::mouseClick(panel->sphere_jump_button, Qt::LeftButton);
    out = printed(console, [&] { panel->step_button->click(); });
    EXPECT_NE(out.find("WEIGHT_MODE = 1\n"), std::string::npos) << out;
}

TEST_F(SmoothingView, TheBallIsDrawnRedAroundTheRegion)
{
    EXPECT_LT(count_pixels(frame(), is_ball), 50);  // a few dark pixels of mesh edges at most
    printed(console, [&] { panel->radius_slider->setValue(40); });
    printed(console, [&] { panel->step_button->click(); });  // the ball moves onto the mesh
    // A disc of radius 0.2 units.
    const double disc = 3.14159 * std::pow(0.2 * view().pixels_per_unit(), 2);
    const int ball = count_pixels(frame(), is_ball);
    EXPECT_GT(ball, disc * 0.75);
    EXPECT_LT(ball, disc * 1.25);
    printed(console, [&] { panel->radius_slider->setValue(0); });
    EXPECT_LT(count_pixels(frame(), is_ball), 50);
}

TEST_F(SmoothingView, SmoothedFaceNormalsShowInTheFaceColoursMode)
{
    // Light from the side: the two faces of the fold shade differently
    // until smoothing gives them one normal.
    view().set_render_mode(RENDER_FACE_COLOURS);
    view().light_position_slot(60.0f, 0.0f);
    const Mesh& mesh = document().mesh;
    auto shade = [&](int face) {
        const QImage image = frame();
        const QRect drawn = bounding_box(image, is_drawn);
        // The faces' centroids lie a third of the way in from opposite corners.
        const QPoint at = face == 0 ? drawn.topLeft() + QPoint(drawn.width() / 3, 2 * drawn.height() / 3)
                                    : drawn.topLeft() + QPoint(2 * drawn.width() / 3, drawn.height() / 3);
        return qGray(image.pixel(at));
    };
    EXPECT_GT(std::abs(shade(0) - shade(1)), 3);
    printed(console, [&] { panel->radius_slider->setValue(100); });
    printed(console, [&] { panel->step_button->click(); });
    ASSERT_EQ(mesh.faces[0].normal, mesh.faces[1].normal);
    printed(console, [&] { panel->radius_slider->setValue(0); });  // the ball out of the way
    EXPECT_LE(std::abs(shade(0) - shade(1)), 1);
}
