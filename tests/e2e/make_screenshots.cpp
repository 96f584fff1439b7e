// Takes the pictures of the user guide (docs/*.png) from the real window on
// the samples: build the target make_screenshots and run it under a virtual
// display, e.g. xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/make_screenshots samples docs
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/opengl_check.h"
#include "app/QtMainWindow.h"
#include "app/QtMessagesWindow.h"
#include "core/Messages.h"
#include "panels/QtCLippingWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "tests/support/WidgetFinder.h"
#include "toolkit/meta_types.h"
#include "toolkit/ScriptedDialogs.h"
#include "view/QtGLWidget.h"

namespace {

// Waits for a few repaints, then writes the widget's picture at `width`.
bool shoot(QWidget& widget, const QString& path, int width, int wait = 300)
{
    if (wait > 0) QTest::qWait(wait);
    const QImage image = widget.grab().toImage().scaledToWidth(width, Qt::SmoothTransformation);
    const bool ok = image.save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    choose_surface_format();
    QApplication app(argc, argv);
    register_meta_types();
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_screenshots SAMPLES_DIR OUT_DIR\n");
        return 2;
    }
    // The recent files of this run stay out of the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QString samples = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    ScriptedDialogs dialogs;
    Messages messages;
    QtMainWindow window(dialogs, messages);
    window.start({"halvane", samples + "/blob.obj"});
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    QtGLWidget& view = *window.view();
    QtMeshEditorDialogue& editor = *window.mesh_editor;
    bool ok = true;

    // A slanted view shows the bumps better than the straight one.
    view.camera.set_bounds(float(view.width()), float(view.height()));
    view.camera.click(Vector(400, 300, 0));
    view.camera.move(Vector(460, 250, 0));
    view.camera.dragging = false;
    ok &= shoot(window, out.filePath("main-window.png"), 560);

    window.rendermodeEvent(3);
    ok &= shoot(view, out.filePath("render-polygons-wireframe.png"), 400);
    window.rendermodeEvent(5);
    ok &= shoot(view, out.filePath("render-points.png"), 400);
    window.rendermodeEvent(4);

    window.mesheditorEvent();
    editor.resize(620, 420);
    editor.tabs()->setCurrentWidget(editor.smoothing);
    ok &= shoot(editor, out.filePath("tools-smoothing.png"), 560);

    dialogs.file_answers.push_back(samples + "/blob.mor");
    editor.tabs()->setCurrentWidget(editor.morphogen_panel);
    editor.morphogen_panel->loadSlot();
    ok &= shoot(editor, out.filePath("tools-morphogens.png"), 560);
    ok &= shoot(view, out.filePath("morphogens.png"), 400);

    // The x+ plane pushed past the middle (150 pixels sweep half the box),
    // with its button on.
    editor.tabs()->setCurrentWidget(editor.clipping);
    editor.clipping->plane_buttons[2]->click();
    const QPoint middle(view.width() / 2, view.height() / 2);
    drag(view, Qt::RightButton, middle, middle + QPoint(0, 170));
    ok &= shoot(editor, out.filePath("tools-clipping.png"), 560);
    editor.clipping->plane_buttons[2]->click();
    ok &= shoot(view, out.filePath("cut.png"), 400);
    editor.clipping->resetall_button->click();

    // Four patches, in their colours.
    editor.morphogen_panel->tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    editor.morphogen_panel->tree->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    editor.tabs()->setCurrentWidget(editor.classifier);
    editor.classifier->floyd_button->click();
    editor.apply_event();
    editor.classifier->patches_slider->setValue(4);
    ok &= shoot(view, out.filePath("patches.png"), 400);

    // "Apply" on a fresh Terrain tab: a flat grid, black in the default map.
    editor.tabs()->setCurrentWidget(editor.terrain_panel);
    editor.apply_event();
    ok &= shoot(view, out.filePath("terrain-default.png"), 400);

    // The sample heightmap and its colour map at the default settings.
    dialogs.file_answers.push_back(samples + "/terrain_hills.png");
    editor.terrain_panel->heightmapload_event();
    dialogs.file_answers.push_back(samples + "/terrain_hills.map");
    editor.terrain_panel->load_event();
    editor.apply_event();
    ok &= shoot(view, out.filePath("terrain.png"), 400);
    ok &= shoot(editor, out.filePath("tools-terrain.png"), 560);

    // Simplifying 1.3 million faces (the blob subdivided four times) on the
    // worker thread: the bar and Cancel in the status bar, the mesh on show.
    editor.hide();
    view.reload_slot();
    view.subdivide_slot(4, 0.0f);
    window.runner.threaded = true;
    view.simplify_slot(50.0f);
    while (window.runner.busy() && window.runner.bar->value() < 150) QTest::qWait(20);
    ok &= window.runner.busy() && shoot(window, out.filePath("progress.png"), 560, 0);
    window.runner.wait_for_idle();
    window.runner.threaded = false;

    // The Messages window after a file no reader takes and a refused save.
    window.dragndrop_slot(samples + "/README.md");
    window.view()->save_mesh(out.filePath("no such folder/terrain.obj"));
    window.messagesEvent();
    window.messages_window->resize(900, 420);
    window.messages_window->list->scrollToBottom();
    ok &= shoot(*window.messages_window, out.filePath("messages.png"), 720);
    return ok ? 0 : 1;
}
