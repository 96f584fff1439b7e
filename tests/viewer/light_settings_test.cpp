// The lighting dialogue's page, off screen: its controls and what it sends.
#include <gtest/gtest.h>

#include <QComboBox>
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

TEST_F(LightSettingsTest, StartsWithTheDefaultLight)
{
    EXPECT_EQ(editor.windowTitle(), "Lighting Editor");
    EXPECT_FALSE(editor.isModal());
    EXPECT_FALSE(editor.windowIcon().isNull());
    EXPECT_EQ(editor.tabs()->count(), 1);
    EXPECT_EQ(editor.tabs()->tabText(0), "Lighting");
    EXPECT_EQ(lights.objectName(), "lightettings_tab");
    EXPECT_TRUE(editor.ok_button()->isHidden());
    EXPECT_EQ(editor.cancel_button()->text(), "Close");

    EXPECT_EQ(lights.ambient_colour, QColor(127, 127, 127));
    EXPECT_EQ(lights.diffuse_colour, QColor(31, 31, 31));
    EXPECT_EQ(lights.specular_colour, QColor(0, 0, 0));
    EXPECT_EQ(lights.altitude_label->text(), "Altitude: 0");
    EXPECT_EQ(lights.azimuth_label->text(), "Azimuth: 180");
    EXPECT_EQ(lights.azimuth_slider->value(), 180);
    for (QSlider* s : {lights.altitude_slider, lights.azimuth_slider}) {
        EXPECT_EQ(s->maximum(), 360);
        EXPECT_EQ(s->pageStep(), 10);
        EXPECT_EQ(s->tickInterval(), 36);
        EXPECT_FALSE(s->hasTracking());
    }
    EXPECT_EQ(lights.findChild<QSlider*>("l_altitude_slider"), lights.altitude_slider);
    EXPECT_NE(lights.findChild<QPushButton*>("open"), nullptr);
    EXPECT_NE(lights.findChild<QPushButton*>("save"), nullptr);
}

TEST_F(LightSettingsTest, ChangedColourIsSentWithTheOtherTwo)
{
    dialogs.colour_answers.push_back(QColor(255, 0, 51));
    change_button(lights, 1)->click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].initial, QColor(31, 31, 31));
    ASSERT_EQ(colours.count(), 1);
    const Vector amb = colours.at(0).at(0).value<Vector>();
    const Vector diff = colours.at(0).at(1).value<Vector>();
    const Vector specular = colours.at(0).at(2).value<Vector>();
    EXPECT_FLOAT_EQ(amb.x, 0.5f);  // unchanged colours keep their starting values
    EXPECT_FLOAT_EQ(diff.x, 1.0f);
    EXPECT_FLOAT_EQ(diff.z, 0.2f);
    EXPECT_FLOAT_EQ(diff.w, 1.0f);
    EXPECT_FLOAT_EQ(specular.x, 0.0f);
    EXPECT_EQ(lights.diffuse_swatch->pixmap().toImage().pixelColor(16, 16), QColor(255, 0, 51));
}

TEST_F(LightSettingsTest, CancelledColourDialogueChangesNothing)
{
    const QImage swatch = lights.ambient_swatch->pixmap().toImage();
    change_button(lights, 0)->click();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(colours.count(), 0);
    EXPECT_EQ(lights.ambient_colour, QColor(127, 127, 127));
    EXPECT_FLOAT_EQ(lights.ambient.x, 0.5f);
    EXPECT_EQ(lights.ambient_swatch->pixmap().toImage(), swatch);
}

TEST_F(LightSettingsTest, SlidersSendOnReleaseOnly)
{
    lights.altitude_slider->setSliderDown(true);
    lights.altitude_slider->setSliderPosition(90);
    EXPECT_EQ(positions.count(), 0);
    lights.altitude_slider->setSliderDown(false);
    ASSERT_EQ(positions.count(), 1);
    EXPECT_FLOAT_EQ(positions.at(0).at(0).toFloat(), 90.0f);
    EXPECT_FLOAT_EQ(positions.at(0).at(1).toFloat(), 180.0f);
    EXPECT_EQ(lights.altitude_label->text(), "Altitude: 90");

    lights.l_azimuth_event(45);
    ASSERT_EQ(positions.count(), 2);
    EXPECT_EQ(lights.azimuth_slider->value(), 45);
    EXPECT_EQ(lights.azimuth_label->text(), "Azimuth: 45");
}

TEST_F(LightSettingsTest, ShaderChoiceSendsNothing)
{
    QSignalSpy shader(&lights, &QtLightSettingsWidget::shader_signal);
    auto* combo = lights.findChild<QComboBox*>("volshader_combobox");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->itemText(1), "per pixel lighting");
    combo->setCurrentIndex(1);
    lights.shader_combobox_event(1);
    EXPECT_EQ(shader.count(), 0);
    EXPECT_EQ(colours.count() + positions.count(), 0);
}
