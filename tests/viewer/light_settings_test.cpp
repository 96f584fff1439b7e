// The lighting dialogue's page, off screen: its controls and what it sends.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

#include "toolkit/ScriptedDialogs.h"
#include "viewer/QtLightEditorDialogue.h"
#include "viewer/QtLightSettingsWidget.h"

namespace {

QPushButton* change_button(QtLightSettingsWidget& w, int which)
{
    QList<QPushButton*> changes;
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == "Change") changes << b;
    return changes.value(which);
}

class LightSettingsTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    QtLightEditorDialogue editor{dialogs, nullptr, "lighteditor"};
    QtLightSettingsWidget& lights = *editor.settings;
    QSignalSpy colours{&lights, &QtLightSettingsWidget::light_colour_signal};
    QSignalSpy positions{&lights, &QtLightSettingsWidget::light_position_signal};
};

}  // namespace

TEST_F(LightSettingsTest, ColourDialogsAndSliders)
{
    // Cancelled: nothing changes.
    const QImage swatch = lights.ambient_swatch->pixmap().toImage();
    change_button(lights, 0)->click();
    EXPECT_EQ(colours.count(), 0);
    EXPECT_EQ(lights.ambient_colour, QColor(127, 127, 127));
    EXPECT_FLOAT_EQ(lights.ambient.x, 0.5f);
    EXPECT_EQ(lights.ambient_swatch->pixmap().toImage(), swatch);

    // A changed colour is sent with the other two, unchanged.
    dialogs.colour_answers.push_back(QColor(255, 0, 51));
    change_button(lights, 1)->click();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].initial, QColor(31, 31, 31));
    ASSERT_EQ(colours.count(), 1);
    EXPECT_EQ(colours.at(0).at(0).value<Vector>(), Vector(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(colours.at(0).at(1).value<Vector>(), Vector(1.0f, 0.0f, 0.2f));
    EXPECT_FLOAT_EQ(colours.at(0).at(1).value<Vector>().w, 1.0f);
    EXPECT_EQ(colours.at(0).at(2).value<Vector>(), Vector(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(lights.diffuse_swatch->pixmap().toImage().pixelColor(16, 16), QColor(255, 0, 51));

    // Sliders send on release only.
    lights.altitude_slider->setSliderDown(true);
    lights.altitude_slider->setSliderPosition(90);
    EXPECT_EQ(positions.count(), 0);
    lights.altitude_slider->setSliderDown(false);
    ASSERT_EQ(positions.count(), 1);
    EXPECT_FLOAT_EQ(positions.at(0).at(0).toFloat(), 90.0f);
    EXPECT_FLOAT_EQ(positions.at(0).at(1).toFloat(), 180.0f);
    lights.l_azimuth_event(45);
    ASSERT_EQ(positions.count(), 2);
    EXPECT_EQ(lights.azimuth_slider->value(), 45);
}
