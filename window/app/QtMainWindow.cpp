#include "app/QtMainWindow.h"

#include <algorithm>
#include <cstring>

#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

#include "app/icons.h"
#include "app/QtGLObjectWindow.h"
#include "app/QtMessageSink.h"
#include "app/QtMessagesWindow.h"
#include "colouring/png_file.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "panels/QtCLippingWidget.h"
#include "panels/QtFunctionWidget.h"
#include "panels/QtLightEditorDialogue.h"
#include "panels/QtLightSettingsWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMeshSimplifierWidget.h"
#include "panels/QtMeshSubdivideWidget.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMeshTraversalWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Menu.h"
#include "view/QtGLWidget.h"

QtMainWindow::QtMainWindow(Dialogs& dialogs_, Messages& messages_, QWidget* parent)
    : QMainWindow(parent), messages(messages_), document(messages_, History::usual_limit()), dialogs(dialogs_)
{
    // The window shows what is reported from here on, beside the console.
    message_sink = new QtMessageSink(this);
    messages_window = new QtMessagesWindow(this);
    messages.attach(*message_sink);
    connect(message_sink, &QtMessageSink::line_signal, messages_window, &QtMessagesWindow::add_line_event);

    build_menus();
    read_recent_files();
    show_recent_files();
    document.history.changed = [this] { historyEvent(); };
    // No undo while an operation runs: its result would be adopted over it.
    connect(&runner, &DocumentRunner::busy_changed, this, &QtMainWindow::historyEvent);
    historyEvent();

    editor = new QtGLObjectWindow(document, this, "editor");
    editor->setFocus();
    setCentralWidget(editor);

    status = statusBar();
    status->setObjectName("status");
    status->showMessage("Ready", 2000);
    connect(message_sink, &QtMessageSink::line_signal, this, &QtMainWindow::messagelineEvent);
    counts = new QLabel(status);
    counts->setObjectName("counts");
    status->addPermanentWidget(counts);
    runner.show_in(status);
    connect(&runner, &DocumentRunner::refused, status,
            [this](const QString& text) { status->showMessage(text, 4000); });
    connect(&runner, &DocumentRunner::busy_changed, this, [this](bool busy) {
        for (QAction* item : long_items) item->setEnabled(!busy);
    });
    view()->runner = &runner;

    resize(800, 800);

    mesh_editor = new QtMeshEditorDialogue(dialogs, messages, this, "mesheditor");
    light_editor = new QtLightEditorDialogue(dialogs, messages, this, "lighteditor");

    connect_panels();
    // The terrain panel writes the terrain straight into the document's mesh.
    mesh_editor->terrain_panel->document = &document;
    mesh_editor->terrain_panel->runner = &runner;
}

QtMainWindow::~QtMainWindow()
{
    messages.detach(*message_sink);
    document.history.changed = nullptr;
}

QtGLWidget* QtMainWindow::view() const
{
    return editor->view;
}

void QtMainWindow::build_menus()
{
    file_menu = new Menu(this);
    file_menu->setTearOffEnabled(true);
    file_menu->addSeparator();
    QAction* open = file_menu->insert_command(load_icon("fileopen.xpm"), "Open...", QKeySequence("Ctrl+O"));
    connect(open, &QAction::triggered, this, &QtMainWindow::openfileEvent);
    file_menu->addSeparator();
    QAction* save = file_menu->insert_command(load_icon("filesave.xpm"), "Save As...", QKeySequence("Ctrl+S"));
    connect(save, &QAction::triggered, this, &QtMainWindow::savefileEvent);
    QAction* save_all = file_menu->insert_command(load_icon("filesave.xpm"), "Save ALL...", QKeySequence("Ctrl+A"));
    connect(save_all, &QAction::triggered, this, &QtMainWindow::saveallEvent);
    long_items = {open, save, save_all};
    file_menu->addSeparator();
    connect(file_menu->insert_command(load_icon("filesave.xpm"), "Save Rendering...", QKeySequence("Ctrl+R")),
            &QAction::triggered, this, &QtMainWindow::saveRenderImageEvent);
    file_menu->addSeparator();
    // The files opened last, numbered; items without a file stay hidden.
    for (int i = 0; i < max_recent_files; ++i) {
        QAction* item = file_menu->addAction(QString());
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, i] { openrecentEvent(i); });
        recent_items.push_back(item);
    }
    recent_items.push_back(file_menu->addSeparator());
    connect(file_menu->insert_command("Exit", QKeySequence("Ctrl+Q")), &QAction::triggered, qApp, &QApplication::quit);

    edit_menu = new Menu(this);
    edit_menu->setTearOffEnabled(true);
    undo_item = edit_menu->insert_command("Undo", QKeySequence::Undo);
    connect(undo_item, &QAction::triggered, this, &QtMainWindow::undoEvent);
    redo_item = edit_menu->insert_command("Redo", QKeySequence("Ctrl+Shift+Z"));
    connect(redo_item, &QAction::triggered, this, &QtMainWindow::redoEvent);

    view_menu = new Menu(this);
    view_menu->setTearOffEnabled(true);
    connect(view_menu->insert_command("Background Colour"), &QAction::triggered, this,
            &QtMainWindow::backgroundcolourEvent);
    connect(view_menu->insert_command("Toggle Projection (ortho/persp)"), &QAction::triggered, this,
            &QtMainWindow::projectionmodeEvent);
    connect(view_menu->insert_command("Lighting and Shading Editor"), &QAction::triggered, this,
            &QtMainWindow::lighteditorEvent);
    connect(view_menu->insert_command("Fit View", QKeySequence("Ctrl+F")), &QAction::triggered, this,
            &QtMainWindow::fitviewEvent);
    connect(view_menu->insert_command("Messages"), &QAction::triggered, this, &QtMainWindow::messagesEvent);

    render_menu = new Menu(this);
    render_menu->setTearOffEnabled(true);
    render_menu->insert_item("&Bounding Box", 7);
    render_menu->insert_item("&Points Verts", 5);
    render_menu->insert_item("&Face Normals", 6);
    render_menu->insert_item("&Wireframe", 0);
    render_menu->insert_item("&Wireframe + Dotted-HL", 1);
    render_menu->insert_item("&Wireframe + No-HL", 2);
    render_menu->insert_item("&Polygons + Wireframe", 3);
    render_menu->insert_item("&Polygons", 4);
    render_menu->insert_item("&Face Colours", 8);
    // The mode on show is checked.
    auto* modes = new QActionGroup(render_menu);
    for (QAction* item : render_menu->actions()) {
        item->setCheckable(true);
        modes->addAction(item);
    }
    render_menu->item(4)->setChecked(true);
    connect(render_menu, &Menu::activated, this, &QtMainWindow::rendermodeEvent);

    tools_menu = new Menu(this);
    tools_menu->setTearOffEnabled(true);
    connect(tools_menu->insert_command("Mesh &Tools", QKeySequence("Ctrl+E")), &QAction::triggered, this,
            &QtMainWindow::mesheditorEvent);
    tools_menu->addSeparator();

    file_menu->setTitle("&File");
    edit_menu->setTitle("&Edit");
    view_menu->setTitle("&View");
    render_menu->setTitle("&Render Mode");
    tools_menu->setTitle("&Tools");
    menuBar()->addMenu(file_menu);
    menuBar()->addMenu(edit_menu);
    menuBar()->addMenu(view_menu);
    menuBar()->addMenu(render_menu);
    menuBar()->addMenu(tools_menu);
    menuBar()->addSeparator();
}

// Every request from a panel reaches the view through one of these.
void QtMainWindow::connect_panels()
{
    QtGLWidget* glview = view();
    QtLightSettingsWidget* lights = light_editor->settings;
    connect(mesh_editor, &QtMeshEditorDialogue::reset_signal, glview, &QtGLWidget::reload_slot);
    // Edge traversal (2, 3).
    QtMeshTraversalWidget* traversal = mesh_editor->traversal_panel;
    connect(traversal, &QtMeshTraversalWidget::edgetraversal_signal, glview, &QtGLWidget::edgetraversal_slot);
    connect(traversal, &QtMeshTraversalWidget::markcurrent_signal, glview, &QtGLWidget::markcurrent_slot);
    // Subdivision (4).
    connect(mesh_editor->subdivision, &QtMeshSubdivideWidget::subdivide_signal, glview, &QtGLWidget::subdivide_slot);
    // Classification (5 to 13).
    QtMeshClassifierWidget* classifier = mesh_editor->classifier;
    connect(classifier, &QtMeshClassifierWidget::meshclassify_signal, glview, &QtGLWidget::meshclassify_slot);
    connect(classifier, &QtMeshClassifierWidget::numpatches_signal, glview, &QtGLWidget::numpatches_slot);
    connect(classifier, &QtMeshClassifierWidget::previouspatch_signal, glview, &QtGLWidget::previouspatch_slot);
    connect(classifier, &QtMeshClassifierWidget::nextpatch_signal, glview, &QtGLWidget::nextpatch_slot);
    connect(classifier, &QtMeshClassifierWidget::patchthresh_signal, glview, &QtGLWidget::patchthresh_slot);
    connect(classifier, &QtMeshClassifierWidget::weight_signal, glview, &QtGLWidget::weight_slot);
    connect(classifier, &QtMeshClassifierWidget::sp_mode_signal, glview, &QtGLWidget::sp_mode_slot);
    connect(classifier, &QtMeshClassifierWidget::loadsp_signal, glview, &QtGLWidget::loadsp_slot);
    connect(classifier, &QtMeshClassifierWidget::savesp_signal, glview, &QtGLWidget::savesp_slot);
    // The view measures distances the way the panel shows from the start.
    classifier->announce_mode();
    // Smoothing (14 to 16).
    QtMeanShiftWidget* smoothing = mesh_editor->smoothing;
    connect(smoothing, &QtMeanShiftWidget::rad_signal, glview, &QtGLWidget::mshiftrad_slot);
    connect(smoothing, &QtMeanShiftWidget::mshift_signal, glview, &QtGLWidget::mshift_slot);
    connect(smoothing, &QtMeanShiftWidget::step_signal, glview, &QtGLWidget::mshiftstep_slot);
    // Simplification (17).
    connect(mesh_editor->simplification, &QtMeshSimplifierWidget::simplifySignal, glview, &QtGLWidget::simplify_slot);
    // Smoothing's weight curve (18).
    connect(smoothing->function, &QtFunctionWidget::signal_function, glview, &QtGLWidget::function_slot);
    // The patch count back to the classification panel (19).
    connect(glview, &QtGLWidget::numbpatches_signal, classifier, &QtMeshClassifierWidget::numbpatchesEvent);
    connect(glview, &QtGLWidget::dragndrop_signal, this, &QtMainWindow::dragndrop_slot);
    // Morphogens: the names of a newly read mesh.
    QtMorphogenWidget* morphogens = mesh_editor->morphogen_panel;
    connect(glview, &QtGLWidget::buildtree_signal, morphogens, &QtMorphogenWidget::buildtree_slot);
    // Clipping planes.
    QtCLippingWidget* clipping = mesh_editor->clipping;
    connect(clipping, &QtCLippingWidget::cutplane_resetall_signal, glview, &QtGLWidget::cutplane_resetall_slot);
    connect(clipping, &QtCLippingWidget::cutplane_resetcurrent_signal, glview, &QtGLWidget::cutplane_resetcurrent_slot);
    connect(clipping, &QtCLippingWidget::cutplane_select_signal, glview, &QtGLWidget::cutplane_select_slot);
    connect(clipping, &QtCLippingWidget::cutplane_invert_signal, glview, &QtGLWidget::cutplane_invert_slot);
    connect(clipping, &QtCLippingWidget::cutplane_showall_signal, glview, &QtGLWidget::cutplane_showall_slot);
    connect(clipping, &QtCLippingWidget::cutplane_load_signal, glview, &QtGLWidget::cutplane_load_slot);
    connect(clipping, &QtCLippingWidget::cutplane_save_signal, glview, &QtGLWidget::cutplane_save_slot);
    // Colouring.
    QtMeshTerrainWidget* terrain = mesh_editor->terrain_panel;
    connect(morphogens, &QtMorphogenWidget::buildvertexcolour_signal, glview, &QtGLWidget::buildvertexcolour_slot);
    connect(terrain, &QtMeshTerrainWidget::build_vertexcolours_signal, glview,
            &QtGLWidget::build_vertexcoloursterrain_slot);
    connect(lights, &QtLightSettingsWidget::light_colour_signal, glview, &QtGLWidget::light_colour_slot);
    connect(lights, &QtLightSettingsWidget::light_position_signal, glview, &QtGLWidget::light_position_slot);
    // What the view shows back to the menus, the title, the status bar and the clipping panel.
    connect(glview, &QtGLWidget::rendermode_signal, this, &QtMainWindow::rendermodeshownEvent);
    connect(glview, &QtGLWidget::meshchanged_signal, this, &QtMainWindow::meshchangedEvent);
    connect(glview, &QtGLWidget::cutplanes_reset_signal, clipping, &QtCLippingWidget::planes_reset_event);
}

bool QtMainWindow::start(const QStringList& arguments)
{
    setWindowTitle("Halvane V1.0");
    editor->resize(800, 600);
    show();
    return arguments.size() < 2 || open_by_name(arguments.at(1));
}

void QtMainWindow::load(const QString& name, LoadResult* result)
{
    view()->load_mesh(name, [result, name, this](LoadResult r) {
        // A name no reader takes: the document has said so on the console;
        // the status bar keeps the window's own words for it.
        if (r == LoadResult::NotAMesh)
            status->showMessage(QStringLiteral("Not opened: %1 is not a mesh file; the names read end in %2")
                                    .arg(name, QString::fromLatin1(mesh_extensions)));
        if (r == LoadResult::Loaded) remember(name);
        if (result) *result = r;
    });
}

bool QtMainWindow::open_by_name(const QString& name)
{
    messages.info(name.toLocal8Bit().toStdString() + "\n");
    if (name.isEmpty()) return true;
    LoadResult result = LoadResult::Failed;
    load(name, &result);
    // The program's status depends on this file: its open is waited for.
    runner.wait_for_idle();
    return result != LoadResult::Failed;
}

void QtMainWindow::dragndrop_slot(QString filename)
{
    messages.info(filename.toLocal8Bit().toStdString() + "\n");
    if (filename.isEmpty()) return;
    file_name = filename;
    load(filename);
}

void QtMainWindow::aboutEvent()
{
    dialogs.message(this, "Halvane", "View and Play with mesh objects");
}

void QtMainWindow::saveRenderImageEvent()
{
    const QString name = dialogs.save_file(this, QString(), "rendering", "*.png");
    if (name.isEmpty()) return;
    // Written like every other file: whole, or not at all.
    const QImage frame = view()->grab_image().convertToFormat(QImage::Format_RGBA8888);
    RgbaImage image;
    image.width = frame.width();
    image.height = frame.height();
    image.pixels.resize(std::size_t(image.width) * std::size_t(image.height) * 4);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.at(0, y), frame.constScanLine(y), std::size_t(image.width) * 4);
    std::string error;
    const std::string path = name.toLocal8Bit().toStdString();
    if (!write_png(path, image, error))
        messages.error("ERROR: could not write " + path + ": " + error + " [saveRenderImageEvent()]\n", path);
}

void QtMainWindow::projectionmodeEvent()
{
    QtGLWidget* glview = view();
    glview->projection_mode = glview->projection_mode == 1 ? 0 : 1;
    messages.info(format_text("projectionmode: %d\n", glview->projection_mode));
    glview->update_projection();
    update();
}

void QtMainWindow::backgroundcolourEvent()
{
    const QColor chosen = dialogs.colour(this, view()->background);
    // A cancelled dialogue keeps the background as it was.
    if (chosen.isValid()) view()->background = chosen;
    update();
}

void QtMainWindow::openfileEvent()
{
    // What the readers take, in either letter case.
    const QString name = dialogs.open_file(this, QString(), data_directory("\\Data"),
                                           "*.obj *.net *.ply *.stl *.off *.OBJ *.NET *.PLY *.STL *.OFF");
    if (name.isEmpty()) return;
    file_name = name;
    load(name);
}

void QtMainWindow::savefileEvent()
{
    // A name ending in ".ply" is saved as binary PLY, any other as OBJ.
    const QString name = dialogs.save_file(this, QString(), data_directory("\\data"), "*.obj *.ply");
    if (name.isEmpty()) return;
    file_name = name;
    view()->save_mesh(name);
}

void QtMainWindow::saveallEvent()
{
    view()->save_all();
}

void QtMainWindow::rendermodeEvent(int id)
{
    if (id >= 0 && id <= 8) view()->set_render_mode(id);
    // An identifier out of range leaves the check on the mode on show.
    rendermodeshownEvent(view()->render_mode);
    view()->update();
    update();
}

void QtMainWindow::rendermodeshownEvent(int id)
{
    if (QAction* item = render_menu->item(id)) item->setChecked(true);
}

void QtMainWindow::meshchangedEvent()
{
    const std::string& name = document.file_name;
    setWindowTitle(name.empty() ? QString("Halvane V1.0")
                                : "Halvane V1.0 - " + QFileInfo(QFile::decodeName(name.c_str())).fileName());
    const Mesh& mesh = document.mesh;
    counts->setText(mesh.nv == 0 && mesh.nf == 0 ? QString()
                                                 : QString("%L1 vertices, %L2 faces").arg(mesh.nv).arg(mesh.nf));
}

void QtMainWindow::fitviewEvent()
{
    view()->fitview_slot();
}

void QtMainWindow::mesheditorEvent()
{
    // The first time beside the window, where it hides none of the view;
    // afterwards wherever the user left it.
    if (!mesh_editor->isVisible() && !editor_placed) {
        editor_placed = true;
        place_beside(*mesh_editor);
    }
    mesh_editor->show();
    mesh_editor->raise();
}

void QtMainWindow::place_beside(QWidget& dialog)
{
    dialog.adjustSize();
    const QRect window = frameGeometry();
    const QScreen* screen = this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(window.topLeft(), window.size() * 3);
    const QSize size = dialog.frameGeometry().size();
    QPoint at(window.right() + 1, window.top());
    if (at.x() + size.width() > room.right() + 1) at.setX(window.left() - size.width());
    if (at.x() < room.left()) at.setX(room.right() + 1 - size.width());
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    dialog.move(at);
}

void QtMainWindow::lighteditorEvent()
{
    light_editor->show();
}

void QtMainWindow::undoEvent()
{
    view()->undo_slot();
}

void QtMainWindow::redoEvent()
{
    view()->redo_slot();
}

void QtMainWindow::historyEvent()
{
    const QString undo = QString::fromStdString(document.undo_name());
    const QString redo = QString::fromStdString(document.redo_name());
    undo_item->setText(undo.isEmpty() ? QString("Undo") : "Undo " + undo);
    const bool idle = !runner.busy();
    undo_item->setEnabled(idle && !undo.isEmpty());
    redo_item->setText(redo.isEmpty() ? QString("Redo") : "Redo " + redo);
    redo_item->setEnabled(idle && !redo.isEmpty());
}

void QtMainWindow::messagesEvent()
{
    if (!messages_window->isVisible()) place_beside(*messages_window);
    messages_window->show();
    messages_window->raise();
}

void QtMainWindow::messagelineEvent(const MessageLine& line)
{
    if (line.severity != Message::Severity::Info) status->showMessage(line.text, status_milliseconds);
}

void QtMainWindow::openrecentEvent(int index)
{
    if (index < 0 || index >= recent_files.size()) return;
    const QString name = recent_files.at(index);
    if (!QFileInfo::exists(name)) {
        forget(name);
        messages.error("ERROR: " + name.toLocal8Bit().toStdString() +
                           ": the file no longer exists; it is taken off the recent files\n",
                       name.toLocal8Bit().toStdString());
        return;
    }
    file_name = name;
    load(name);
}

void QtMainWindow::remember(const QString& name)
{
    const QString path = QFileInfo(name).absoluteFilePath();
    read_recent_files();  // another window may have opened files meanwhile
    recent_files.removeAll(path);
    recent_files.prepend(path);
    while (recent_files.size() > max_recent_files) recent_files.removeLast();
    write_recent_files();
    show_recent_files();
}

void QtMainWindow::forget(const QString& name)
{
    read_recent_files();
    recent_files.removeAll(name);
    write_recent_files();
    show_recent_files();
}

void QtMainWindow::read_recent_files()
{
    QSettings settings("Halvane", "Halvane");
    recent_files = settings.value(recent_files_key).toStringList();
    while (recent_files.size() > max_recent_files) recent_files.removeLast();
}

void QtMainWindow::write_recent_files()
{
    QSettings settings("Halvane", "Halvane");
    settings.setValue(recent_files_key, recent_files);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        messages.warning("Recent files: could not write " + settings.fileName().toLocal8Bit().toStdString() + "\n");
}

void QtMainWindow::show_recent_files()
{
    for (int i = 0; i < max_recent_files; ++i) {
        QAction* item = recent_items[std::size_t(i)];
        item->setVisible(i < recent_files.size());
        if (i >= recent_files.size()) continue;
        // "&1 blob.obj": the number picks the item from the keyboard.
        item->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(recent_files.at(i)).fileName().replace("&", "&&")));
        item->setStatusTip(recent_files.at(i));
        item->setToolTip(recent_files.at(i));
    }
    recent_items.back()->setVisible(!recent_files.isEmpty());
}
