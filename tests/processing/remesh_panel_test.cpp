// The subdivision and simplification panels, their tabs and their way to
// the view, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>

#include "processing/QtMeshEditorDialogue.h"
#include "processing/QtMeshSimplifierWidget.h"
#include "processing/QtMeshSubdivideWidget.h"
#include "tests/support/NamedMeshes.h"
#include "toolkit/ScriptedDialogs.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtMainWindow.h"

TEST(SubdivisionPanel, ControlsAsBuilt)
{
    QtMeshSubdivideWidget panel;
    EXPECT_EQ(panel.objectName(), "subdividetab");
    EXPECT_EQ(panel.level_label->text(), "Subdivision Level:\t0");
    EXPECT_EQ(panel.weight_label->text(), "Weight:\t0.0");
    auto* level = panel.findChild<QSlider*>("subdivlevel_slider");
    auto* weight = panel.findChild<QSlider*>("weight_slider");
    ASSERT_TRUE(level && weight);
    EXPECT_EQ(level->maximum(), 10);
    EXPECT_EQ(level->value(), 0);
    EXPECT_EQ(weight->value(), 50);
    EXPECT_EQ(weight->pageStep(), 5);
    EXPECT_EQ(weight->tickInterval(), 10);
    EXPECT_EQ(weight->tickPosition(), QSlider::TicksBelow);

    level->setValue(7);
    EXPECT_EQ(panel.level, 7);
    EXPECT_EQ(panel.level_label->text(), "Subdivision Level:\t7");
}

TEST(SubdivisionPanel, WeightSliderSetsTheTension)
{
    QtMeshSubdivideWidget panel;
    const struct {
        int slider;
        float weight;
        const char* label;
    } cases[] = {{0, -0.125f, "Weight:\t-0.125"}, {30, -0.05f, "Weight:\t-0.05"}, {50, 0.0f, "Weight:\t0"},
                 {75, 0.0625f, "Weight:\t0.0625"}, {100, 0.125f, "Weight:\t0.125"}};
    for (const auto& c : cases) {
        panel.weight_slider->setValue(c.slider);
        EXPECT_FLOAT_EQ(panel.weight, c.weight) << c.slider;
        EXPECT_EQ(panel.weight_label->text(), c.label);
    }
}

TEST(SubdivisionPanel, ApplySendsLevelAndWeightUnlessLevelIsZero)
{
    QtMeshSubdivideWidget panel;
    QSignalSpy sent(&panel, &QtMeshSubdivideWidget::subdivide_signal);
    panel.weight_slider->setValue(100);
    panel.apply();
    EXPECT_EQ(sent.count(), 0);
    panel.subdivlevel_slider->setValue(2);
    EXPECT_EQ(sent.count(), 0);  // sliders alone send nothing
    panel.apply();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent[0][0].toInt(), 2);
    EXPECT_FLOAT_EQ(sent[0][1].toFloat(), 0.125f);
}

TEST(SimplificationPanel, LevelOfDetailShownAndSentByApply)
{
    QtMeshSimplifierWidget panel;
    EXPECT_EQ(panel.objectName(), "simplifytab");
    EXPECT_EQ(panel.lod_label->text(), "Level of Detail:\t75%");
    auto* slider = panel.findChild<QSlider*>("threshmin_slider");
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->value(), 75);
    EXPECT_EQ(slider->tickInterval(), 5);
    QSignalSpy sent(&panel, &QtMeshSimplifierWidget::simplifySignal);
    slider->setValue(40);
    EXPECT_EQ(panel.lod_label->text(), "Level of Detail:\t40%");
    EXPECT_EQ(sent.count(), 0);
    panel.apply();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_FLOAT_EQ(sent[0][0].toFloat(), 40.0f);
}

TEST(RemeshTabs, ApplyReachesTheViewThroughTheMainWindow)
{
    ScriptedDialogs dialogs;
    QtMainWindow window(dialogs);
    QtMeshEditorDialogue* editor = window.mesh_editor;
    QTabWidget* tabs = editor->tabs();
    std::vector<QString> labels;
    for (int i = 0; i < tabs->count(); ++i) labels.push_back(tabs->tabText(i));
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Simplification"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Subdivision"), labels.end());

    Mesh& mesh = window.view()->mesh;
    mesh.assign(*named::octahedron());
    testing::internal::CaptureStdout();
    tabs->setCurrentWidget(editor->subdivision);
    editor->apply_button()->click();  // level 0: nothing happens
    EXPECT_EQ(mesh.nv, 6);
    editor->subdivision->subdivlevel_slider->setValue(1);
    editor->apply_button()->click();
    EXPECT_EQ(mesh.nv, 18);
    EXPECT_EQ(mesh.nf, 32);

    tabs->setCurrentWidget(editor->simplification);
    editor->simplification->threshmin_slider->setValue(50);
    editor->apply_button()->click();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(mesh.nv, 9);
}
