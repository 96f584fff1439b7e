// Smoothing through the main window: the panel's signals reach the view's
// slots, the smoother runs on the view's mesh and its ball is drawn.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>

#include "processing/QtFunctionWidget.h"
#include "processing/QtMeanShiftWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "tests/support/GLViewTest.h"

namespace {

// A blue unit square folded along its diagonal, so the two faces differ.
const char* const folded_square =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0.3\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nf 1 2 3\nf 2 4 3\n";

// The ball: red faces under black lines.
bool is_ball(QRgb p)
{
    const bool red = qRed(p) > 100 && qGreen(p) < 40 && qBlue(p) < 40;
    const bool dark = qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
    return red || dark;
}

int ball_pixels(const QImage& image) { return count_pixels(image, is_ball); }

class SmoothingView : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (HasFatalFailure()) return;
        open(folded_square);
        panel = window.mesh_editor->smoothing;
        ASSERT_NE(panel, nullptr);
    }

    QtMeanShiftWidget* panel = nullptr;
};

}  // namespace

TEST_F(SmoothingView, SliderStepAndApplyRunTheSmoother)
{
    const Vector before = view().mesh.faces[1].normal;
    QTest::mouseClick(panel->sphere_jump_button, Qt::LeftButton);
    printed([&] { panel->radius_slider->setValue(100); });
    EXPECT_EQ(view().smoother.algorithm, NormalSmoother::SPHERE_JUMP);
    EXPECT_FLOAT_EQ(view().smoother.kernel.x, 0.5f * view().mesh.extent);
    EXPECT_EQ(view().smoother.kernel.w, 100.0f);

    // Step: one region, here both faces.
    std::string out = printed([&] { panel->step_button->click(); });
    EXPECT_EQ(out.rfind("Step\nEvaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n", 0), 0u) << out;
    EXPECT_NE(out.find("Number of Regions:\t1 \n"), std::string::npos) << out;
    EXPECT_EQ(view().mesh.faces[0].normal, view().mesh.faces[1].normal);
    EXPECT_NE(view().mesh.faces[1].normal, before);

    // Reload brings the mesh back; Apply on the Smoothing page runs a full pass.
    printed([&] { window.mesh_editor->default_button()->click(); });
    EXPECT_EQ(view().mesh.faces[1].normal, before);
    window.mesh_editor->tabs()->setCurrentWidget(panel);
    QTest::mouseClick(panel->median_button, Qt::LeftButton);
    out = printed([&] { window.mesh_editor->apply_button()->click(); });
    EXPECT_EQ(out.rfind("Evaluating MEDIAN_FILTER: \ndepth: 100\n", 0), 0u) << out;
}

TEST_F(SmoothingView, DrawnCurveSwitchesToWeightedSums)
{
    QtFunctionWidget* plot = panel->function;
    window.mesh_editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.mesh_editor));
    window.mesh_editor->tabs()->setCurrentWidget(panel);
    const QRect area = plot->contentsRect();
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, area.bottomLeft());
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, area.topRight());
    EXPECT_EQ(view().smoother.weight_mode, 1);
    EXPECT_EQ(view().smoother.weight_curve.size(), 101u);
    EXPECT_EQ(view().smoother.curve_height, area.height());
    printed([&] { panel->radius_slider->setValue(80); });
    const std::string out = printed([&] { panel->step_button->click(); });
    EXPECT_NE(out.find("WEIGHT_MODE = 1\n"), std::string::npos) << out;
}

TEST_F(SmoothingView, TheBallIsDrawnRedAroundTheRegion)
{
    // A few dark pixels of antialiased mesh edges at most.
    EXPECT_LT(ball_pixels(frame()), 50);
    printed([&] { panel->radius_slider->setValue(40); });
    printed([&] { panel->step_button->click(); });  // the ball moves onto the mesh
    const int ball = ball_pixels(frame());
    // A disc of radius 0.2 at 200 pixels a unit: about 5000 pixels.
    EXPECT_GT(ball, 3500) << ball;
    EXPECT_LT(ball, 6500) << ball;
    printed([&] { panel->radius_slider->setValue(0); });
    EXPECT_LT(ball_pixels(frame()), 50);
}
