// The main window with its menus and dialogues, on a virtual display.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "colouring/QtMorphogenWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "tests/support/TempDir.h"
#include "toolkit/Menu.h"
#include "toolkit/ScriptedDialogs.h"
#include "viewer/QtGLObjectWindow.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtLightEditorDialogue.h"
#include "viewer/QtLightSettingsWidget.h"
#include "viewer/QtMainWindow.h"

namespace {

const char* const square =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nf 1 2 3\nf 2 4 3\n";

struct Item {
    QString text;
    QKeySequence shortcut;
    bool operator==(const Item& o) const { return text == o.text && shortcut == o.shortcut; }
};

std::ostream& operator<<(std::ostream& out, const Item& item)
{
    return out << '"' << item.text.toStdString() << "\" " << item.shortcut.toString().toStdString();
}

// A menu's items in order, separators as "-".
std::vector<Item> items(const QMenu* menu)
{
    std::vector<Item> out;
    for (const QAction* a : menu->actions())
        out.push_back(a->isSeparator() ? Item{"-", {}} : Item{a->text(), a->shortcut()});
    return out;
}

QAction* action_named(const QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Runs `step` with standard output captured and returns what it printed.
template <typename Step>
std::string printed(Step step)
{
    testing::internal::CaptureStdout();
    step();
    return testing::internal::GetCapturedStdout();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.start({"halvane"}));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        path = QString::fromStdString(dir.write("square.obj", square));
    }

    QtGLWidget& view() { return *window.view(); }

    TempDir dir;
    QString path;
    ScriptedDialogs dialogs;
    QtMainWindow window{dialogs};
};

}  // namespace

TEST_F(MainWindowTest, StartsTitledWithEmptyViewAndReadyMessage)
{
    EXPECT_EQ(window.windowTitle(), "Halvane V1.0");
    EXPECT_EQ(window.size(), QSize(800, 800));
    EXPECT_EQ(window.editor->objectName(), "editor");
    EXPECT_EQ(view().objectName(), "glbox1");
    EXPECT_EQ(window.statusBar()->objectName(), "status");
    EXPECT_EQ(window.statusBar()->currentMessage(), "Ready");
    EXPECT_EQ(view().mesh.nf, 0);
    EXPECT_TRUE(window.mesh_editor->isHidden());
    EXPECT_TRUE(window.light_editor->isHidden());
    EXPECT_EQ(window.mesh_editor->objectName(), "mesheditor");
    EXPECT_EQ(window.light_editor->objectName(), "lighteditor");
}

TEST_F(MainWindowTest, MenusCarryTheirItemsAndShortcuts)
{
    QStringList titles;
    for (QAction* a : window.menuBar()->actions())
        if (!a->isSeparator()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Render Mode", "&Tools"}));

    const std::vector<Item> file = {{"-", {}},
                                    {"Open...", QKeySequence("Ctrl+O")},
                                    {"-", {}},
                                    {"Save As...", QKeySequence("Ctrl+S")},
                                    {"Save ALL...", QKeySequence("Ctrl+A")},
                                    {"-", {}},
                                    {"Save Rendering...", QKeySequence("Ctrl+R")},
                                    {"-", {}},
                                    {"Exit", QKeySequence("Ctrl+Q")}};
    EXPECT_EQ(items(window.file_menu), file);
    const std::vector<Item> view_items = {
        {"Background Colour", {}}, {"Toggle Projection (ortho/persp)", {}}, {"Lighting and Shading Editor", {}}};
    EXPECT_EQ(items(window.view_menu), view_items);
    const std::vector<Item> tools = {{"Mesh &Tools", QKeySequence("Ctrl+E")}, {"-", {}}};
    EXPECT_EQ(items(window.tools_menu), tools);
    for (const Menu* m : {window.file_menu, window.view_menu, window.render_menu, window.tools_menu})
        EXPECT_TRUE(m->isTearOffEnabled());
    for (const char* name : {"Open...", "Save As...", "Save ALL...", "Save Rendering..."})
        EXPECT_FALSE(action_named(window.file_menu, name)->icon().isNull()) << name;
}

TEST_F(MainWindowTest, RenderModeItemsSetTheirIdentifiers)
{
    const std::vector<std::pair<QString, int>> expected = {
        {"&Bounding Box", 7}, {"&Points Verts", 5},         {"&Face Normals", 6},          {"&Wireframe", 0},
        {"&Wireframe + Dotted-HL", 1}, {"&Wireframe + No-HL", 2}, {"&Polygons + Wireframe", 3}, {"&Polygons", 4}};
    const QList<QAction*> actions = window.render_menu->actions();
    ASSERT_EQ(actions.size(), int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actions[int(i)]->text(), expected[i].first);
        EXPECT_TRUE(actions[int(i)]->shortcut().isEmpty());
        actions[int(i)]->trigger();
        EXPECT_EQ(view().render_mode, expected[i].second) << expected[i].first.toStdString();
    }
    window.rendermodeEvent(8);
    window.rendermodeEvent(-1);
    EXPECT_EQ(view().render_mode, 4);
}

TEST_F(MainWindowTest, ProjectionToggleGoesBothWaysAndSaysSo)
{
    QAction* toggle = action_named(window.view_menu, "Toggle Projection (ortho/persp)");
    EXPECT_EQ(printed([&] { toggle->trigger(); }), "projectionmode: 0\n");
    EXPECT_EQ(view().projection_mode, 0);
    EXPECT_EQ(printed([&] { toggle->trigger(); }), "projectionmode: 1\n");
    EXPECT_EQ(view().projection_mode, 1);
}

TEST_F(MainWindowTest, SaveRenderingWritesThePngOfTheFrameUnderTheNameGiven)
{
    printed([&] { window.open_by_name(path); });
    QTest::qWait(60);
    const QString target = QString::fromStdString(dir.file("picture"));
    dialogs.file_answers.push_back(target);
    action_named(window.file_menu, "Save Rendering...")->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, "save");
    EXPECT_EQ(dialogs.asked[0].start, "rendering");
    EXPECT_EQ(dialogs.asked[0].filter, "*.png");
    EXPECT_TRUE(dialogs.asked[0].caption.isEmpty());

    QImage written;
    ASSERT_TRUE(written.load(target, "PNG"));
    const QImage frame = view().grab_image();
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), frame.convertToFormat(QImage::Format_RGB32));
    // The blue square is in the picture.
    EXPECT_EQ(qBlue(written.pixel(written.width() / 2, written.height() / 2)) > 100, true);

    // Cancelled: nothing written.
    action_named(window.file_menu, "Save Rendering...")->trigger();
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).size(), 2);
}

TEST_F(MainWindowTest, BackgroundColourFromTheDialogAndCancelKeepsIt)
{
    dialogs.colour_answers.push_back(QColor(10, 20, 30));
    action_named(window.view_menu, "Background Colour")->trigger();
    EXPECT_EQ(dialogs.asked.back().initial, QColor(255, 255, 255));
    EXPECT_EQ(view().background, QColor(10, 20, 30));
    action_named(window.view_menu, "Background Colour")->trigger();
    EXPECT_EQ(dialogs.asked.back().initial, QColor(10, 20, 30));
    EXPECT_EQ(view().background, QColor(10, 20, 30));
}

TEST_F(MainWindowTest, OpenLoadsTheChosenFileAndAnUnreadableOneLeavesAnEmptyView)
{
    dialogs.file_answers.push_back(path);
    printed([&] { action_named(window.file_menu, "Open...")->trigger(); });
    EXPECT_EQ(dialogs.asked.back().kind, "open");
    EXPECT_EQ(dialogs.asked.back().filter, "*.net *.obj *.gts");
    EXPECT_EQ(view().mesh.nf, 2);
    EXPECT_EQ(window.file_name, path);

    const QString missing = QString::fromStdString(dir.file("gone.obj"));
    dialogs.file_answers.push_back(missing);
    testing::internal::CaptureStderr();
    printed([&] { action_named(window.file_menu, "Open...")->trigger(); });
    EXPECT_NE(testing::internal::GetCapturedStderr().find("gone.obj"), std::string::npos);
    EXPECT_EQ(view().mesh.nf, 0);
    EXPECT_TRUE(window.isVisible());

    // Cancelled: nothing changes.
    action_named(window.file_menu, "Open...")->trigger();
    EXPECT_EQ(window.file_name, missing);
}

TEST_F(MainWindowTest, SaveAsWritesObjAndReportsAFailedWrite)
{
    printed([&] { window.open_by_name(path); });
    dialogs.file_answers.push_back(QString::fromStdString(dir.file("out")));
    printed([&] { action_named(window.file_menu, "Save As...")->trigger(); });
    EXPECT_EQ(dialogs.asked.back().filter, "*.obj");
    EXPECT_NE(slurp(dir.file("out.obj")).find("f 1/1/"), std::string::npos);
    EXPECT_EQ(window.file_name, QString::fromStdString(dir.file("out")));

    dialogs.file_answers.push_back(QString::fromStdString(dir.file("none/out.obj")));
    const std::string out = printed([&] { action_named(window.file_menu, "Save As...")->trigger(); });
    EXPECT_NE(out.find("ERROR"), std::string::npos);
}

TEST_F(MainWindowTest, StartDirectoriesPointAtDataFolderWhenThereIsOne)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path()));
    action_named(window.file_menu, "Open...")->trigger();
    EXPECT_EQ(dialogs.asked.back().start, QDir::currentPath());
    QDir().mkdir("data");
    action_named(window.file_menu, "Open...")->trigger();
    EXPECT_EQ(dialogs.asked.back().start, QDir::current().absoluteFilePath("data"));
    action_named(window.file_menu, "Save As...")->trigger();
    EXPECT_EQ(dialogs.asked.back().start, QDir::current().absoluteFilePath("data"));
    QDir::setCurrent(before);
}

TEST_F(MainWindowTest, DropLoadsThroughTheMainWindow)
{
    const std::string out = printed([&] { emit view().dragndrop_signal(path); });
    EXPECT_EQ(out.substr(0, out.find('\n')), path.toStdString());
    EXPECT_EQ(view().mesh.nf, 2);
    EXPECT_EQ(window.file_name, path);
}

TEST_F(MainWindowTest, CommandLineNameIsPrintedAndLoadedButNotStored)
{
    EXPECT_EQ(printed([&] { EXPECT_TRUE(window.open_by_name("")); }), "\n");
    EXPECT_EQ(view().mesh.nf, 0);
    const std::string out = printed([&] { EXPECT_TRUE(window.open_by_name(path)); });
    EXPECT_EQ(out.substr(0, out.find('\n')), path.toStdString());
    EXPECT_EQ(view().mesh.nf, 2);
    EXPECT_TRUE(window.file_name.isEmpty());
    testing::internal::CaptureStderr();
    printed([&] { EXPECT_FALSE(window.open_by_name(QString::fromStdString(dir.file("gone.obj")))); });
    testing::internal::GetCapturedStderr();
}

TEST_F(MainWindowTest, MeshToolsDialogueReloadsTheMeshAsLoaded)
{
    printed([&] { window.open_by_name(path); });
    action_named(window.tools_menu, "Mesh &Tools")->trigger();
    QtMeshEditorDialogue& editor = *window.mesh_editor;
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.tabs()->tabText(0), "Clipping Planes");
    QStringList pages;
    for (int i = 0; i < editor.tabs()->count(); ++i) pages << editor.tabs()->tabText(i);
    EXPECT_TRUE(pages.contains("Smoothing")) << pages.join(", ").toStdString();
    EXPECT_EQ(editor.tabs()->tabText(1), "Morphogens");
    EXPECT_EQ(editor.tabs()->widget(1), editor.morphogen_panel);
    EXPECT_TRUE(editor.ok_button()->isHidden());
    EXPECT_EQ(editor.apply_button()->text(), "Apply");
    EXPECT_EQ(editor.default_button()->text(), "Reload");
    EXPECT_EQ(editor.cancel_button()->text(), "Close");

    view().mesh.vertices[3] = Vector(9.0f, 9.0f, 9.0f);
    printed([&] { editor.default_button()->click(); });
    EXPECT_FLOAT_EQ(view().mesh.vertices[3].x, 1.0f);
    printed([&] { editor.apply_button()->click(); });
    editor.cancel_button()->click();
    EXPECT_TRUE(editor.isHidden());
}

TEST_F(MainWindowTest, LightingDialogueDrivesTheView)
{
    action_named(window.view_menu, "Lighting and Shading Editor")->trigger();
    EXPECT_TRUE(window.light_editor->isVisible());
    QtLightSettingsWidget& lights = *window.light_editor->settings;
    lights.l_altitude_event(90);
    lights.l_azimuth_event(90);
    EXPECT_NEAR(view().light_position.x, 0.0f, 1e-6f);
    EXPECT_NEAR(view().light_position.y, 1.0f, 1e-6f);
}

TEST(Program, UnreadableArgumentEndsWithStatusOneAfterTheReadersMessage)
{
    TempDir dir;
    QProcess program;
    program.start(HALVANE_PROGRAM, {QString::fromStdString(dir.file("absent.obj"))});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("absent.obj"));
    EXPECT_TRUE(program.readAllStandardOutput().startsWith(QByteArray::fromStdString(dir.file("absent.obj") + "\n")));
}

TEST(Program, WithoutOpenGLWarnsAndEndsWithMinusOne)
{
    QProcess program;
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
