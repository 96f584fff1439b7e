// The main window's menus and dialogs on a virtual display, beyond the steps
// the session test takes: render modes, cancelled dialogs, the lighting
// dialog, the command line name and the program's exit status.
#include <cmath>

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>

#include "panels/QtCLippingWidget.h"
#include "panels/QtLightEditorDialogue.h"
#include "panels/QtLightSettingsWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "tests/support/GLViewTest.h"
#include "toolkit/Menu.h"

using MainWindowTest = GLWindowTest;

TEST_F(MainWindowTest, RenderModesAndProjection)
{
    const std::pair<QString, int> modes[] = {
        {"&Bounding Box", 7},          {"&Points Verts", 5},      {"&Face Normals", 6},         {"&Wireframe", 0},
        {"&Wireframe + Dotted-HL", 1}, {"&Wireframe + No-HL", 2}, {"&Polygons + Wireframe", 3}, {"&Polygons", 4},
        {"&Face Colours", 8}};
    const QList<QAction*> actions = window.render_menu->actions();
    ASSERT_EQ(actions.size(), 9);
    EXPECT_TRUE(window.render_menu->item(4)->isChecked());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(actions[i]->text(), modes[i].first);
        actions[i]->trigger();
        EXPECT_EQ(view().render_mode, modes[i].second) << modes[i].first.toStdString();
        for (int j = 0; j < 9; ++j) EXPECT_EQ(actions[j]->isChecked(), i == j) << i << " " << j;
    }
    window.rendermodeEvent(4);
    window.rendermodeEvent(9);
    window.rendermodeEvent(-1);
    EXPECT_EQ(view().render_mode, 4);
    EXPECT_TRUE(window.render_menu->item(4)->isChecked());
    // The view switching by itself (a classification ends) moves the check.
    view().set_render_mode(8);
    EXPECT_TRUE(window.render_menu->item(8)->isChecked());

    QAction* toggle = menu_item(window.view_menu, "Toggle Projection (ortho/persp)");
    EXPECT_EQ(printed(console, [&] { toggle->trigger(); }), "projectionmode: 0\n");
    EXPECT_EQ(view().projection_mode, 0);
    EXPECT_EQ(printed(console, [&] { toggle->trigger(); }), "projectionmode: 1\n");
    EXPECT_EQ(view().projection_mode, 1);
}

TEST_F(MainWindowTest, FileDialogsStartInTheDataFolderAndCancelledDialogsChangeNothing)
{
    work_in_test_folder();
    QDir().mkdir("data");
    const QString path = QString::fromStdString(dir.write("square.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    dialogs.file_answers.push_back(path);
    printed(console, [&] { menu_item(window.file_menu, "Open...")->trigger(); });
    EXPECT_EQ(dialogs.asked.back().start, QDir::current().absoluteFilePath("data"));
    dialogs.colour_answers.push_back(QColor(10, 20, 30));
    QAction* background = menu_item(window.view_menu, "Background Colour");
    background->trigger();
    const QImage before = frame();

    for (const char* item : {"Open...", "Save As...", "Save Rendering..."})
        printed(console, [&] { menu_item(window.file_menu, item)->trigger(); });
    background->trigger();
    EXPECT_EQ(dialogs.asked[3].start, QDir::current().absoluteFilePath("data"));  // Save As
    EXPECT_EQ(dialogs.asked.back().initial, QColor(10, 20, 30));
    EXPECT_EQ(view().background, QColor(10, 20, 30));
    EXPECT_EQ(window.file_name, path);
    EXPECT_EQ(document().mesh.nf, 1);
    EXPECT_EQ(QDir::current().entryList(QDir::Files), QStringList{"square.obj"});
    EXPECT_EQ(frame(), before);
}

TEST_F(MainWindowTest, CommandLineNameIsPrintedAndLoadedButNotStored)
{
    EXPECT_EQ(printed(console, [&] { EXPECT_TRUE(window.open_by_name("")); }), "\n");
    EXPECT_EQ(document().mesh.nf, 0);
    EXPECT_EQ(window.windowTitle(), "Halvane V1.0");
    EXPECT_TRUE(window.counts->text().isEmpty());
    EXPECT_TRUE(open("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 2 4 3\n", "square.obj"));
    EXPECT_EQ(document().mesh.nf, 2);
    EXPECT_TRUE(window.file_name.isEmpty());
    // The title names the file, the status bar counts the mesh.
    EXPECT_EQ(window.windowTitle(), "Halvane V1.0 - square.obj");
    EXPECT_EQ(window.counts->text(), "4 vertices, 2 faces");
    printed(console, [&] { view().subdivide_slot(1, 0.0f); });
    frame();
    EXPECT_EQ(window.counts->text(), "9 vertices, 8 faces");
}

TEST_F(MainWindowTest, FitViewFramesTheMeshAgain)
{
    ASSERT_TRUE(open("v 0 0 0\nv 1000 0 0\nv 0 1000 0\nv 1000 1000 0\nf 1 2 3\nf 2 4 3\n"));
    QAction* fit = menu_item(window.view_menu, "Fit View");
    ASSERT_NE(fit, nullptr);
    EXPECT_EQ(fit->shortcut(), QKeySequence("Ctrl+F"));
    view().magnification = 0.01f;
    view().pan = Vector(300, 0, 0);
    view().camera.transform[0] = -1.0f;
    fit->trigger();
    EXPECT_FLOAT_EQ(view().magnification, 1.0f);
    EXPECT_EQ(view().pan, Vector(0, 0, 0));
    EXPECT_FLOAT_EQ(view().camera.transform[0], 1.0f);
    // The square's diagonal fills 90 % of the shorter side.
    const QRect drawn = bounding_box(frame(), is_drawn);
    const int shorter = std::min(view().width(), view().height());
    EXPECT_NEAR(drawn.width(), 0.9 * shorter / std::sqrt(2.0), 4);
}

TEST_F(MainWindowTest, TheToolsDialogueOpensBesideTheWindow)
{
    // Room beside the window on the 1280 pixels of the virtual screen.
    window.resize(500, 500);
    window.move(0, 0);
    QTest::qWait(20);
    menu_item(window.tools_menu, "Mesh &Tools")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.mesh_editor));
    const QRect tools = window.mesh_editor->frameGeometry();
    const QRect shown = QRect(view().mapToGlobal(QPoint(0, 0)), view().size());
    EXPECT_FALSE(tools.intersects(shown)) << "the tools hide part of the view";
}

TEST_F(MainWindowTest, SaveRenderingWritesTheWholeFrame)
{
    work_in_test_folder();
    ASSERT_TRUE(open("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\nf 1 2 3\nf 2 4 3\n"));
    frame();
    dialogs.file_answers.push_back("picture");
    menu_item(window.file_menu, "Save Rendering...")->trigger();
    QImage saved;
    ASSERT_TRUE(saved.load("picture", "PNG"));
    const qreal ratio = view().devicePixelRatioF();
    EXPECT_EQ(saved.size(), view().size() * ratio);
    // The square in the middle of the picture, not in a corner of it.
    const QRect square = bounding_box(saved, [](QRgb p) { return qRed(p) > 100 && qGreen(p) < 40; });
    EXPECT_NEAR(square.center().x(), saved.width() / 2, 3 * ratio);
    EXPECT_NEAR(square.center().y(), saved.height() / 2, 3 * ratio);
}

TEST_F(MainWindowTest, SaveAllReportsTheFilesItCouldNotWrite)
{
    work_in_test_folder();
    open("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 2 4 3\n");
    document().mesh.picked_face = 1;
    view().edgetraversal_slot(1, 10);
    view().markcurrent_slot();
    ASSERT_TRUE(QDir().mkdir("object_1.obj"));
    const std::string out = printed(console, [&] { menu_item(window.file_menu, "Save ALL...")->trigger(); });
    EXPECT_NE(out.find("Saving: non-segemented.obj v:3 f:3\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ERROR: could not write object_1.obj: Is a directory"), std::string::npos) << out;
    EXPECT_NE(out.find("Segmented export: 1 of 3 files failed\n"), std::string::npos) << out;
    EXPECT_FALSE(slurp(dir.file("segemented.obj")).empty());
}

TEST_F(MainWindowTest, OpenOffersWhatIsReadSaveAsWritesPlyAndUnknownNamesAreSaid)
{
    work_in_test_folder();
    const std::string with_morphogens =
        "mn heat\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvc 1 0 0\nvc 0 1 0\nvc 0 0 1\n"
        "m 0.5\nm 1\nm 2\nf 1 2 3\n";
    dialogs.file_answers.push_back(QString::fromStdString(dir.write("c.obj", with_morphogens)));
    printed(console, [&] { menu_item(window.file_menu, "Open...")->trigger(); });
    EXPECT_EQ(dialogs.asked.back().filter, "*.obj *.net *.ply *.stl *.off *.OBJ *.NET *.PLY *.STL *.OFF");

    // ".ply" is kept and written as binary PLY with the colours and morphogens.
    dialogs.file_answers.push_back("saved.PLY");
    printed(console, [&] { menu_item(window.file_menu, "Save As...")->trigger(); });
    EXPECT_EQ(dialogs.asked.back().filter, "*.obj *.ply");
    const std::string ply = slurp(dir.file("saved.PLY"));
    EXPECT_NE(ply.find("format binary_little_endian 1.0\n"), std::string::npos);
    EXPECT_NE(ply.find("property uchar red\n"), std::string::npos);
    EXPECT_NE(ply.find("property float heat\n"), std::string::npos);
    dialogs.file_answers.push_back("saved");
    printed(console, [&] { menu_item(window.file_menu, "Save As...")->trigger(); });
    EXPECT_NE(slurp(dir.file("saved.obj")).find("mn heat\n"), std::string::npos);

    // The PLY opens with its morphogens, which the panel is told.
    EXPECT_TRUE(open(ply, "again.ply"));
    EXPECT_EQ(document().mesh.morphogen_names, std::vector<std::string>{"heat"});
    EXPECT_EQ(document().mesh.morphogen_values[2], std::vector<float>{2});

    // A name no reader takes: said on the console and in the window; the mesh stays.
    const QString gts = QString::fromStdString(dir.write("x.gts", "anything"));
    std::string said;
    printed(console, [&] { window.dragndrop_slot(gts); });
    said = console.log.err();
    EXPECT_NE(said.find("ERROR: " + gts.toStdString() + ": not a mesh file name"), std::string::npos) << said;
    EXPECT_TRUE(window.status->currentMessage().contains("x.gts is not a mesh file"))
        << window.status->currentMessage().toStdString();
    EXPECT_EQ(document().mesh.nf, 1);
}

TEST_F(MainWindowTest, LightingDialogColoursAndSliders)
{
    QtLightSettingsWidget& lights = *window.light_editor->settings;
    QSignalSpy colours{&lights, &QtLightSettingsWidget::light_colour_signal};
    QSignalSpy positions{&lights, &QtLightSettingsWidget::light_position_signal};
    // Cancelled: nothing changes.
    const QImage swatch = lights.ambient_swatch->pixmap().toImage();
    button(lights, "Change", 0)->click();
    EXPECT_EQ(colours.count(), 0);
    EXPECT_EQ(lights.ambient_colour, QColor(127, 127, 127));
    EXPECT_FLOAT_EQ(lights.ambient.x, 0.5f);
    EXPECT_EQ(lights.ambient_swatch->pixmap().toImage(), swatch);

    // A changed colour is sent with the other two, unchanged.
    dialogs.colour_answers.push_back(QColor(255, 0, 51));
    button(lights, "Change", 1)->click();
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
    EXPECT_NEAR(view().light_position.y, std::sin(45.0f * 3.14159265f / 180.0f), 1e-5f);
}

TEST(Program, ExitStatusForAnUnreadableArgumentAndWithoutOpenGL)
{
    TempDir dir;
    const std::string absent = dir.file("absent.obj");
    QProcess program;
    program.start(HALVANE_PROGRAM, {QString::fromStdString(absent)});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("absent.obj"));
    EXPECT_TRUE(program.readAllStandardOutput().startsWith(QByteArray::fromStdString(absent + "\n")));

    // Qt's offscreen platform offers no OpenGL.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(HALVANE_PROGRAM, {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 255);
    const QByteArray errors = program.readAllStandardError();
    EXPECT_TRUE(errors.contains("This system has no OpenGL support. Exiting.\n")) << errors.toStdString();
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

TEST_F(MainWindowTest, LightSettingsAreSavedToAndOpenedFromALightFile)
{
    work_in_test_folder();
    QtLightSettingsWidget& lights = *window.light_editor->settings;
    dialogs.colour_answers.push_back(QColor(10, 20, 30));
    button(lights, "Change", 2)->click();
    lights.l_altitude_event(45);
    dialogs.file_answers.push_back("warm");
    button(lights, "Save")->click();
    EXPECT_EQ(dialogs.asked.back().filter, "*.lgt");
    EXPECT_EQ(dialogs.asked.back().start, QDir::currentPath());
    EXPECT_EQ(slurp(dir.file("warm.lgt")),
              "AMBIENT 127 127 127\nDIFFUSE 31 31 31\nSPECULAR 10 20 30\nALTITUDE 45\nAZIMUTH 180\n");

    // Back to other settings, then the file brings the saved ones to the panel and the view.
    dialogs.colour_answers.push_back(QColor(200, 200, 200));
    button(lights, "Change", 2)->click();
    lights.l_altitude_event(0);
    QSignalSpy colours{&lights, &QtLightSettingsWidget::light_colour_signal};
    QSignalSpy positions{&lights, &QtLightSettingsWidget::light_position_signal};
    dialogs.file_answers.push_back(dir.file("warm.lgt").c_str());
    button(lights, "Open")->click();
    EXPECT_EQ(lights.specular_colour, QColor(10, 20, 30));
    EXPECT_EQ(lights.altitude, 45);
    EXPECT_EQ(lights.altitude_slider->value(), 45);
    EXPECT_EQ(colours.count(), 1);
    EXPECT_EQ(positions.count(), 1);
    EXPECT_NEAR(view().light_specular.x, 10.0f / 255.0f, 1e-6f);

    // A broken file is reported with its name and line and changes nothing.
    dir.write("broken.lgt", "AMBIENT 1 2 3\nDIFFUSE 300 0 0\n");
    dialogs.file_answers.push_back(dir.file("broken.lgt").c_str());
    const std::string out = printed(console, [&] { button(lights, "Open")->click(); });
    EXPECT_NE(out.find("broken.lgt: line 2"), std::string::npos) << out;
    EXPECT_EQ(lights.ambient_colour, QColor(127, 127, 127));
    EXPECT_EQ(colours.count(), 1);
}

TEST_F(MainWindowTest, APlaneButtonDoesNotStayOnAfterANewMeshLoads)
{
    ASSERT_TRUE(open("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    QtCLippingWidget& clipping = *window.mesh_editor->clipping;
    clipping.plane_buttons[2]->click();
    ASSERT_EQ(view().plane_interaction, 1);
    ASSERT_TRUE(open("v 0 0 0\nv 2 0 0\nv 0 2 0\nf 1 2 3\n"));
    EXPECT_FALSE(clipping.plane_buttons[2]->isChecked());
    EXPECT_EQ(view().plane_interaction, 0);
    // One click selects the plane again, as the button shows.
    clipping.plane_buttons[2]->click();
    EXPECT_TRUE(clipping.plane_buttons[2]->isChecked());
    EXPECT_EQ(view().plane_interaction, 1);
}
