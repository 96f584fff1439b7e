#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

#include "processing/QtMeshTraversalWidget.h"

TEST(TraversalPanel, OneSignalPerValueChange)
{
    QtMeshTraversalWidget panel;
    QSignalSpy traverse(&panel, &QtMeshTraversalWidget::edgetraversal_signal);
    QSignalSpy mark(&panel, &QtMeshTraversalWidget::markcurrent_signal);

    for (int v = 1; v <= 5000; ++v) panel.depth_slider->setValue(v);
    ASSERT_EQ(traverse.count(), 5000);
    EXPECT_EQ(traverse.at(0).at(0).toInt(), 1);
    EXPECT_EQ(traverse.last().at(0).toInt(), 5000);
    EXPECT_EQ(traverse.last().at(1).toInt(), 1);
    EXPECT_EQ(panel.depth_label->text(), "Edge Depth:\t5000");

    panel.depth_slider->setValue(5000);  // no change, no signal
    EXPECT_EQ(traverse.count(), 5000);
    panel.depth_slider->setValue(9999);  // held at the maximum
    EXPECT_EQ(traverse.count(), 5000);

    traverse.clear();
    panel.stepsize_slider->setValue(45);
    ASSERT_EQ(traverse.count(), 1);
    EXPECT_EQ(traverse.at(0).at(0).toInt(), 5000);
    EXPECT_EQ(traverse.at(0).at(1).toInt(), 45);
    EXPECT_EQ(panel.angle_label->text(), "Angle Size:\t45");

    traverse.clear();
    panel.apply();
    ASSERT_EQ(traverse.count(), 1);
    EXPECT_EQ(traverse.at(0).at(1).toInt(), 45);

    auto* button = panel.findChild<QPushButton*>();
    ASSERT_TRUE(button);
    button->click();
    EXPECT_EQ(mark.count(), 1);
    EXPECT_EQ(traverse.count(), 1);
}
