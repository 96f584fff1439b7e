// A whole session with the real main window, driven through its menus,
// panels, buttons and mouse as a user would, with scripted file and colour
// dialogs. Each step checks what the user would see: counts, files and the
// drawn frame. The console of the whole session is kept and read at the end.
#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>

#include "panels/QtCLippingWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMeshSimplifierWidget.h"
#include "panels/QtMeshSubdivideWidget.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMeshTraversalWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "tests/support/GLViewTest.h"
#include "tests/support/WorkerGate.h"
#include "toolkit/Menu.h"

namespace {

int lines_starting(const std::string& text, const std::string& prefix)
{
    std::istringstream in(text);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.rfind(prefix, 0) == 0;
    return n;
}

bool is_mesh(QRgb p)
{
    return p != qRgb(255, 255, 255);
}

// Pixels that are not the white background, in columns [x0, x1).
int mesh_pixels(const QImage& image, int x0 = 0, int x1 = INT_MAX)
{
    return count_pixels(image, is_mesh, x0, x1);
}

class Session : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (HasFatalFailure()) return;
        work_in_test_folder();  // "Save ALL..." writes into the working directory
        const std::string blob = slurp(HALVANE_SAMPLES "/blob.obj");
        ASSERT_FALSE(blob.empty());
        blob_path = QString::fromStdString(dir.write("blob.obj", blob));
    }

    QtMeshEditorDialogue& editor() { return *window.mesh_editor; }
    QString file(const char* name) const { return QString::fromStdString(dir.path() + "/" + name); }

    // Runs a step with its console captured; the step's lines are returned
    // and kept for the check at the end.
    template <typename Step>
    std::string console(Step step)
    {
        const std::string out = printed(GLWindowTest::console, step);
        transcript += out;
        return out;
    }

    std::string choose(const Menu* menu, const QString& item)
    {
        QAction* action = menu_item(menu, item);
        EXPECT_NE(action, nullptr) << item.toStdString();
        return console([&] {
            if (action) action->trigger();
        });
    }

    void show_page(QWidget* panel)
    {
        editor().tabs()->setCurrentWidget(panel);
        ASSERT_EQ(editor().current_page(), panel);
    }

    std::string apply_on(QWidget* panel)
    {
        show_page(panel);
        return console([&] { editor().apply_button()->click(); });
    }

    QSlider* slider(QWidget* panel, const char* name)
    {
        auto* s = panel->findChild<QSlider*>(name);
        EXPECT_NE(s, nullptr) << name;
        return s;
    }

    // Clicks the panel's push button with this text.
    std::string press(QWidget* panel, const QString& text)
    {
        QPushButton* found = button(*panel, text);
        EXPECT_NE(found, nullptr) << text.toStdString();
        return console([&] {
            if (found) found->click();
        });
    }

    QString blob_path;
    std::string transcript;
};

TEST_F(Session, FromOpenToReload)
{
    // Open the blob from the Open dialog.
    dialogs.file_answers.push_back(blob_path);
    choose(window.file_menu, "Open...");
    ASSERT_EQ(document().mesh.nv, 2562);
    ASSERT_EQ(document().mesh.nf, 5120);
    EXPECT_EQ(window.file_name, blob_path);
    QtMorphogenWidget& morphogens = *editor().morphogen_panel;
    ASSERT_EQ(morphogens.tree->topLevelItemCount(), 3);
    EXPECT_EQ(morphogens.tree->topLevelItem(0)->text(1), "height");
    const std::vector<Vector> loaded_colours = document().mesh.vertex_colours;
    const std::vector<std::vector<float>> loaded_morphogens = document().mesh.morphogen_values;
    ASSERT_EQ(loaded_morphogens.size(), 2562u);
    const QImage opened = frame();
    const int whole = mesh_pixels(opened);
    ASSERT_GT(whole, 20000) << "the blob fills a good part of the view";
    // Clear of the top right corner, where a colour legend goes.
    const int beside_legend = view().view_width - 200;

    choose(window.tools_menu, "Mesh &Tools");
    ASSERT_TRUE(editor().isVisible());

    // Colour by the first morphogen (where the colours show is seen in the
    // colouring view test).
    show_page(&morphogens);
    console([&] { morphogens.tree->topLevelItem(0)->setCheckState(0, Qt::Checked); });
    const QImage coloured = frame();
    EXPECT_EQ(mesh_pixels(coloured, 0, beside_legend), mesh_pixels(opened, 0, beside_legend));
    EXPECT_FALSE(document().mesh.vertex_colours == loaded_colours);

    // Push the right-hand plane in, past the middle of the blob (150 pixels
    // cross half the box), and save the planes.
    QtCLippingWidget& clipping = *editor().clipping;
    show_page(&clipping);
    const int middle = view().view_width / 2;
    const int right_before = mesh_pixels(coloured, middle + 20);
    ASSERT_GT(right_before, 5000);
    clipping.plane_buttons[2]->click();
    const float plane_x = view().cube.planes[2].centre.x;
    drag(view(), Qt::RightButton, QPoint(middle, 200), QPoint(middle, 350));
    EXPECT_LT(view().cube.planes[2].centre.x, plane_x);
    clipping.plane_buttons[2]->click();
    EXPECT_EQ(view().plane_interaction, 0);
    const QImage cut = frame();
    EXPECT_LT(mesh_pixels(cut, middle + 20), right_before / 2) << "the right of the blob is cut away";
    EXPECT_GT(mesh_pixels(cut, 0, middle - 20), mesh_pixels(coloured, 0, middle - 20) * 9 / 10);
    dialogs.file_answers.push_back(file("cuts"));
    press(&clipping, "Save");
    const std::string planes = slurp(dir.path() + "/cuts.slc");
    EXPECT_EQ(lines_starting(planes, "P: "), 6);
    // The planes go back where they were for the rest of the session.
    press(&clipping, "Reset All");
    EXPECT_EQ(mesh_pixels(frame(), middle + 20), right_before);

    // Smooth with a small ball: face normals fall into line, nothing else changes.
    QtMeanShiftWidget& smoothing = *editor().smoothing;
    const std::vector<Vector> loaded = document().mesh.vertices;
    auto face_normals = [&] {
        std::vector<Vector> out;
        for (const Face& f : document().mesh.faces) out.push_back(f.normal);
        return out;
    };
    const std::vector<Vector> loaded_normals = face_normals();
    slider(&smoothing, "xsize_slider")->setValue(10);
    apply_on(&smoothing);
    EXPECT_EQ(document().mesh.nf, 5120);
    EXPECT_TRUE(document().mesh.vertices == loaded);
    const std::vector<Vector> smoothed = face_normals();
    int turned = 0;
    for (std::size_t i = 0; i < smoothed.size(); ++i) turned += !(smoothed[i] == loaded_normals[i]);
    EXPECT_GT(turned, 5120 / 2) << "smoothing turned face normals";

    // Classify by steps between faces (the quicker table): the patch count
    // comes back to the panel; then show three patches.
    QtMeshClassifierWidget& classifier = *editor().classifier;
    show_page(&classifier);
    press(&classifier, "Floyd SP");
    const std::string classified = apply_on(&classifier);
    ASSERT_GT(document().classifier.num_patches, 0) << classified;
    EXPECT_EQ(classifier.num_patches, document().classifier.num_patches);
    console([&] { slider(&classifier, "threshmin_slider")->setValue(3); });
    EXPECT_EQ(document().classifier.num_patches, 3);
    EXPECT_EQ(int(document().classifier.face_patch.size()), 5120);
    EXPECT_EQ(*std::max_element(document().classifier.face_patch.begin(), document().classifier.face_patch.end()), 2);

    // Subdivide one level.
    QtMeshSubdivideWidget& subdivision = *editor().subdivision;
    slider(&subdivision, "subdivlevel_slider")->setValue(1);
    apply_on(&subdivision);
    EXPECT_EQ(document().mesh.nf, 4 * 5120);
    EXPECT_EQ(document().mesh.nv, 2562 + 7680);
    EXPECT_GT(mesh_pixels(frame()), whole * 9 / 10);

    // Simplify to half on the worker thread, as the program does, and cancel
    // it from the status bar while it runs: the mesh stays as it was.
    QtMeshSimplifierWidget& simplification = *editor().simplification;
    slider(&simplification, "threshmin_slider")->setValue(50);
    window.runner.threaded = true;
    {
        WorkerGate gate(GLWindowTest::console.channel);
        show_page(&simplification);
        // The log is read only while no worker runs.
        editor().apply_button()->click();
        ASSERT_TRUE(gate.wait_until_held());
        EXPECT_TRUE(window.runner.bar->isVisible());
        EXPECT_GT(mesh_pixels(frame()), whole * 9 / 10);
        QTest::mouseClick(window.runner.cancel_button, Qt::LeftButton);
    }
    window.runner.wait_for_idle();
    EXPECT_EQ(document().mesh.nf, 4 * 5120);
    EXPECT_FALSE(window.runner.bar->isVisible());

    // Simplify to half, to the end.
    console([&] {
        editor().apply_button()->click();
        window.runner.wait_for_idle();
    });
    window.runner.threaded = false;
    const int simplified_faces = document().mesh.nf;
    EXPECT_GE(simplified_faces, 4 * 5120 * 45 / 100);
    EXPECT_LE(simplified_faces, 4 * 5120 * 55 / 100);
    EXPECT_GT(mesh_pixels(frame()), whole * 9 / 10);

    // Pick the face in the middle, grow a region from it, mark it, save every group.
    const std::string picked = console(
        [&] { QTest::mouseClick(&view(), Qt::MiddleButton, {}, QPoint(view().width() / 2, view().height() / 2)); });
    ASSERT_GE(document().mesh.picked_face, 1) << picked;
    QtMeshTraversalWidget& traversal = *editor().traversal_panel;
    show_page(&traversal);
    console([&] {
        slider(&traversal, "stepsize_slider")->setValue(60);
        slider(&traversal, "depth_slider")->setValue(4);
    });
    int marked = 0;
    for (const Face& f : document().mesh.faces) marked += f.marked != 0;
    ASSERT_GT(marked, 1);
    EXPECT_LT(marked, simplified_faces);
    press(&traversal, "Mark Current");
    int grouped = 0;
    for (const Face& f : document().mesh.faces) grouped += f.group == 1;
    EXPECT_EQ(grouped, marked);
    choose(window.file_menu, "Save ALL...");
    const std::string group_file = slurp(dir.path() + "/object_1.obj");
    const std::string segmented = slurp(dir.path() + "/segemented.obj");
    const std::string rest = slurp(dir.path() + "/non-segemented.obj");
    EXPECT_EQ(lines_starting(group_file, "f "), marked);
    EXPECT_EQ(lines_starting(segmented, "f "), marked);
    EXPECT_EQ(lines_starting(rest, "f "), simplified_faces - marked);

    // Build a terrain from the sample heightmap and its colour map.
    QtMeshTerrainWidget& terrain = *editor().terrain_panel;
    show_page(&terrain);
    dialogs.file_answers.push_back(HALVANE_SAMPLES "/terrain_hills.png");
    press(&terrain, "Load Heightmap");
    dialogs.file_answers.push_back(HALVANE_SAMPLES "/terrain_hills.map");
    press(&terrain, "Load");
    ASSERT_GT(terrain.colour_map.size(), 1u);
    apply_on(&terrain);
    const int terrain_vertices = document().mesh.nv;
    EXPECT_GT(terrain_vertices, 1000);
    EXPECT_GT(document().mesh.nf, terrain_vertices);
    // The lowest point takes the colour map's first colour.
    const std::vector<Vector>& ground = document().mesh.vertices;
    const auto lowest =
        std::min_element(ground.begin(), ground.end(), [](const Vector& a, const Vector& b) { return a.y < b.y; });
    const Vector& low = document().mesh.vertex_colours[std::size_t(lowest - ground.begin())];
    const Rgb first = terrain.colour_map.map_colours.front();
    EXPECT_EQ(QColor::fromRgbF(low.x, low.y, low.z), QColor(first.r, first.g, first.b));
    const QImage landscape = frame();
    EXPECT_GT(mesh_pixels(landscape), 40000) << "the terrain is framed, seen from above";

    // Save the terrain and the picture.
    dialogs.file_answers.push_back(file("terrain.obj"));
    choose(window.file_menu, "Save As...");
    EXPECT_EQ(window.file_name, file("terrain.obj"));
    const std::string written = slurp(dir.path() + "/terrain.obj");
    EXPECT_EQ(lines_starting(written, "v "), terrain_vertices);
    EXPECT_EQ(lines_starting(written, "f "), document().mesh.nf);
    dialogs.file_answers.push_back(file("picture"));
    choose(window.file_menu, "Save Rendering...");
    QImage picture;
    ASSERT_TRUE(picture.load(file("picture"), "PNG"));
    EXPECT_EQ(picture.size(), view().size() * view().devicePixelRatioF());
    EXPECT_EQ(mesh_pixels(picture.scaled(landscape.size())), mesh_pixels(frame()));

    // Reload: the blob as it was opened, with the colours it was opened with.
    press(&editor(), "Reload");
    EXPECT_EQ(document().mesh.nv, 2562);
    EXPECT_EQ(document().mesh.nf, 5120);
    EXPECT_TRUE(document().mesh.vertices == loaded);
    EXPECT_TRUE(face_normals() == loaded_normals);
    EXPECT_TRUE(document().mesh.vertex_colours == loaded_colours) << "the morphogen colouring is undone";
    EXPECT_TRUE(document().mesh.morphogen_values == loaded_morphogens);
    EXPECT_EQ(morphogens.tree->topLevelItemCount(), 3);
    for (const Face& f : document().mesh.faces) ASSERT_EQ(f.group + f.marked, 0) << "no region survives";
    EXPECT_LT(std::abs(mesh_pixels(frame()) - whole), whole / 50);

    // Nothing went wrong on the way.
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line == "Segmented export: 0 of 3 files failed") continue;
        std::string lower = line;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        for (const char* word : {"error", "fail", "cannot", "could not", "can't", "unable", "refused", "rejected"})
            EXPECT_EQ(lower.find(word), std::string::npos) << line;
    }
}

// Files dropped on the view travel to the main window and back to the
// view's load: the first of them opens, and the OBJ's morphogens reach the
// morphogen panel. A drop that holds no file opens nothing.
TEST_F(Session, DroppedFileOpensLikeOpen)
{
    QMimeData text, files;
    text.setText("not a list of files");
    files.setUrls({QUrl::fromLocalFile(blob_path), QUrl::fromLocalFile(file("other.obj"))});
    const QPoint at(view().width() / 2, view().height() / 2);
    std::string out;
    for (QMimeData* data : {&text, &files}) {
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        // Straight to the view: the application passes drops on only during a real drag.
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        out += console([&] { static_cast<QObject&>(view()).event(&drop); });
    }
    EXPECT_EQ(out.rfind(blob_path.toStdString() + "\n", 0), 0u) << out;
    EXPECT_EQ(window.file_name, blob_path);
    EXPECT_EQ(document().mesh.nf, 5120);
    EXPECT_EQ(editor().morphogen_panel->tree->topLevelItemCount(), 3);
    EXPECT_GT(mesh_pixels(frame()), 20000);
}

}  // namespace
