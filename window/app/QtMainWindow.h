#pragma once

#include <vector>

#include <QMainWindow>
#include <QString>

#include "app/DocumentRunner.h"
#include "document/MeshDocument.h"

class Dialogs;
class Menu;
class Messages;
class QLabel;
class QStatusBar;
class QtGLObjectWindow;
class QtGLWidget;
class QtLightEditorDialogue;
class QtMeshEditorDialogue;

// The program's one window: menus, the view frame and the status bar. It
// owns the mesh document on show and both tool dialogues, and connects
// every panel to the view. Everything it and its parts report goes to
// `messages`.
class QtMainWindow : public QMainWindow {
    Q_OBJECT
public:
    QtMainWindow(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr);

    QtGLWidget* view() const;
    // Titles, sizes and shows the window, then opens the mesh named by the
    // first argument after the program's name. False when that file cannot
    // be read: the program then ends with status 1.
    bool start(const QStringList& arguments);
    // Opens a mesh named on the command line: prints the name and loads it
    // unless it is empty. False when a reader rejected the file.
    bool open_by_name(const QString& name);

    Messages& messages;
    MeshDocument document;
    // Runs the document's long operations; main() makes it threaded.
    DocumentRunner runner{document};
    QtGLObjectWindow* editor;
    QtMeshEditorDialogue* mesh_editor;
    QtLightEditorDialogue* light_editor;
    Menu* file_menu;
    Menu* view_menu;
    Menu* render_menu;
    Menu* tools_menu;
    QStatusBar* status;
    QLabel* counts;  // vertex and face counts, at the status bar's right
    QString file_name;

public slots:
    void dragndrop_slot(QString filename);
    void aboutEvent();
    void saveRenderImageEvent();
    void projectionmodeEvent();
    void backgroundcolourEvent();
    void openfileEvent();
    void savefileEvent();
    void saveallEvent();
    void rendermodeEvent(int id);
    void mesheditorEvent();
    void lighteditorEvent();
    void fitviewEvent();
    // The render mode the view now draws in, checked in the menu.
    void rendermodeshownEvent(int id);
    // Title and status bar for the mesh on show.
    void meshchangedEvent();

private:
    void build_menus();
    // Moves a dialogue to the right of the window, or to its left when the
    // screen has no room there.
    void place_beside(QWidget& dialog);
    void connect_panels();

    Dialogs& dialogs;
    bool editor_placed = false;
    // Menu items that start a long operation, disabled while one runs.
    std::vector<QAction*> long_items;
};
