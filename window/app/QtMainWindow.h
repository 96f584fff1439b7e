#pragma once

#include <vector>

#include <QMainWindow>
#include <QString>
#include <QStringList>

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
class QtMessageSink;
class QtMessagesWindow;
struct MessageLine;

// The program's one window: menus, the view frame and the status bar. It
// owns the mesh document on show and both tool dialogues, and connects
// every panel to the view. Everything it and its parts report goes to
// `messages`, which the window also shows: the latest warning or error in
// the status bar, every line in the Messages window.
class QtMainWindow : public QMainWindow {
    Q_OBJECT
public:
    QtMainWindow(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr);
    ~QtMainWindow() override;

    // How many files "Open Recent" keeps, and where between runs.
    static constexpr int max_recent_files = 8;
    static constexpr const char* recent_files_key = "recent_files";

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
    Menu* edit_menu;
    Menu* view_menu;
    Menu* render_menu;
    Menu* tools_menu;
    QStatusBar* status;
    QLabel* counts;  // vertex and face counts, at the status bar's right
    QString file_name;
    QAction* undo_item;
    QAction* redo_item;
    QtMessageSink* message_sink;
    QtMessagesWindow* messages_window;
    // The files opened last, the newest first, as absolute paths; one File
    // menu item each.
    QStringList recent_files;
    std::vector<QAction*> recent_items;
    // How long a warning or an error stays in the status bar.
    static constexpr int status_milliseconds = 6000;

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
    void undoEvent();
    void redoEvent();
    // The Edit menu's items name the steps they would take.
    void historyEvent();
    void messagesEvent();
    // A warning or an error stays in the status bar for a while.
    void messagelineEvent(const MessageLine& line);
    // Opens the file of the recent files list's item `index`; a file that is
    // gone is said so and leaves the list.
    void openrecentEvent(int index);

private:
    void build_menus();
    // Loads through the view and says what the status bar should; a file
    // that opened goes to the top of the recent files.
    void load(const QString& name, LoadResult* result = nullptr);
    void remember(const QString& name);
    void forget(const QString& name);
    // The recent files as settings keep them, and their menu items.
    void read_recent_files();
    void write_recent_files();
    void show_recent_files();
    // Moves a dialogue to the right of the window, or to its left when the
    // screen has no room there.
    void place_beside(QWidget& dialog);
    void connect_panels();

    Dialogs& dialogs;
    bool editor_placed = false;
    // Menu items that start a long operation, disabled while one runs.
    std::vector<QAction*> long_items;
};
