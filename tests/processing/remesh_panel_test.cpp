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

TEST(SubdivisionPanel, WeightSliderSetsTheTension)
{
    QtMeshSubdivideWidget panel;
    const struct {
        int slider;
        float weight;
        const char* label;
    } cases[] = {{0, -0.125f, "Weight:\t-0.125"}, {75, 0.0625f, "Weight:\t0.0625"}};
    for (const auto& c : cases) {
        panel.weight_slider->setValue(c.slider);
        EXPECT_FLOAT_EQ(panel.weight, c.weight) << c.slider;
        EXPECT_EQ(panel.weight_label->text(), c.label);
    }
}

TEST(RemeshTabs, ApplyReachesTheViewThroughTheMainWindow)
{
    ScriptedDialogs dialogs;
    QtMainWindow window(dialogs);
    QtMeshEditorDialogue* editor = window.mesh_editor;
    QTabWidget* tabs = editor->tabs();

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
