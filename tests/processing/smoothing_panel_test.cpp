// The smoothing panel and its weight curve on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "processing/QtFunctionWidget.h"
#include "processing/QtMeanShiftWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

Vector kernel_of(const QList<QVariant>& args) { return args.at(0).value<Vector>(); }

}  // namespace

TEST(SmoothingPanel, ModeButtonsAreExclusiveAndAnnounceTheMode)
{
    QtMeanShiftWidget panel(nullptr, "meanshftab");
    EXPECT_TRUE(panel.mean_shift_button->isChecked());
    EXPECT_EQ(panel.mode, 0);
    QSignalSpy rad(&panel, &QtMeanShiftWidget::rad_signal);

    QTest::mouseClick(panel.median_button, Qt::LeftButton);
    EXPECT_EQ(panel.mode, 2);
    EXPECT_TRUE(panel.median_button->isChecked());
    EXPECT_FALSE(panel.mean_shift_button->isChecked());
    QTest::mouseClick(panel.sphere_jump_button, Qt::LeftButton);
    EXPECT_EQ(panel.mode, 1);
    EXPECT_FALSE(panel.median_button->isChecked());
    QTest::mouseClick(panel.mean_shift_button, Qt::LeftButton);
    EXPECT_EQ(panel.mode, 0);

    ASSERT_EQ(rad.count(), 3);
    EXPECT_EQ(rad.at(0).at(1).toInt(), 2);
    EXPECT_EQ(rad.at(1).at(1).toInt(), 1);
    EXPECT_EQ(rad.at(2).at(1).toInt(), 0);
}

TEST(SmoothingPanel, SliderSetsRadiusAndLabel)
{
    QtMeanShiftWidget panel;
    EXPECT_EQ(panel.radius_label->text(), "Sphere Radius:\t\t0");
    QSlider* slider = panel.findChild<QSlider*>("xsize_slider");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);
    QTest::mouseClick(panel.sphere_jump_button, Qt::LeftButton);
    QSignalSpy rad(&panel, &QtMeanShiftWidget::rad_signal);
    slider->setValue(37);
    EXPECT_EQ(panel.radius_label->text(), "Sphere Radius:\t37");
    EXPECT_EQ(panel.kernel.x, 37.0f);
    EXPECT_EQ(panel.radius, 37.0f);
    ASSERT_EQ(rad.count(), 1);
    EXPECT_EQ(kernel_of(rad.at(0)).x, 37.0f);
    EXPECT_EQ(rad.at(0).at(1).toInt(), 1);
}

TEST(SmoothingPanel, StepAndApplySendTheKernel)
{
    ScriptedDialogs dialogs;
    QtMeshEditorDialogue dialogue(dialogs, nullptr, "mesheditor");
    QtMeanShiftWidget* panel = dialogue.findChild<QtMeanShiftWidget*>("meanshftab");
    ASSERT_NE(panel, nullptr);
    panel->radius_slider->setValue(12);
    QTest::mouseClick(panel->median_button, Qt::LeftButton);

    QSignalSpy step(panel, &QtMeanShiftWidget::step_signal);
    QTest::mouseClick(panel->step_button, Qt::LeftButton);
    ASSERT_EQ(step.count(), 1);
    EXPECT_EQ(kernel_of(step.at(0)).x, 12.0f);

    // Apply runs a full pass only while the smoothing page is on show.
    QSignalSpy run(panel, &QtMeanShiftWidget::mshift_signal);
    auto* other = new QWidget;
    dialogue.add_tab(other, "Other");
    dialogue.tabs()->setCurrentWidget(other);
    dialogue.apply_event();
    EXPECT_EQ(run.count(), 0);
    dialogue.tabs()->setCurrentWidget(panel);
    ASSERT_EQ(dialogue.current_page(), panel);
    dialogue.apply_event();
    ASSERT_EQ(run.count(), 1);
    EXPECT_EQ(kernel_of(run.at(0)).x, 12.0f);
    EXPECT_EQ(run.at(0).at(1).toInt(), 2);
}

TEST(SmoothingPanel, DraggingDrawsACurveOf101Points)
{
    QtFunctionWidget plot(100.0f, nullptr, "histogram");
    plot.resize(206, 104);  // a 202 x 100 drawing area inside the frame
    plot.show();
    QSignalSpy curve(&plot, &QtFunctionWidget::signal_function);
    const QRect area = plot.contentsRect();

    // From the bottom left to the top right: a rising line.
    QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, area.bottomLeft());
    QTest::mouseMove(&plot, area.center());
    EXPECT_EQ(curve.count(), 0);  // nothing is sent while drawing
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, area.topRight());

    ASSERT_EQ(curve.count(), 1);
    const auto points = curve.at(0).at(0).value<std::vector<Vector>>();
    const int height = curve.at(0).at(1).toInt();
    EXPECT_EQ(height, area.height());
    ASSERT_EQ(points.size(), 101u);
    EXPECT_EQ(points[0].y, 0.0f);
    EXPECT_EQ(points[100].y, float(height));
    EXPECT_EQ(points[100].x, 100.0f);
    EXPECT_NEAR(points[50].y, height / 2.0f, 2.0f);
    for (std::size_t k = 1; k < points.size(); ++k) EXPECT_GE(points[k].y, points[k - 1].y) << k;

    // A second stroke changes only the samples it passes over.
    QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, QPoint(area.left(), area.top()));
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, QPoint(area.left(), area.top()));
    ASSERT_EQ(curve.count(), 2);
    const auto again = curve.at(1).at(0).value<std::vector<Vector>>();
    EXPECT_EQ(again[0].y, float(height));
    EXPECT_EQ(again[100].y, float(height));
    EXPECT_EQ(again[50].y, points[50].y);

    // Other buttons draw nothing.
    QTest::mouseClick(&plot, Qt::RightButton, Qt::NoModifier, area.center());
    EXPECT_EQ(curve.count(), 2);
}
