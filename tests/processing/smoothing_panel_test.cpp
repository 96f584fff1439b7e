// The smoothing panel's weight curve on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "processing/QtFunctionWidget.h"

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
