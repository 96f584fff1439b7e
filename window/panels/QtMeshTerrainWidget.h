#pragma once

#include <vector>

#include <QColor>
#include <QWidget>

#include "colouring/ColourMap.h"
#include "colouring/Heightmap.h"

class DocumentRunner;
class MeshDocument;
class QDialog;
class Dialogs;
class Messages;
class QLabel;
class QLineEdit;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

// The "Terrain" panel: turns a PNG heightmap into a height field that
// replaces the view's mesh, coloured by height through the colour map. The
// map is edited entry by entry, kept in order of value, saved to and loaded
// from ".map" files; every change recolours the terrain at once.
class QtMeshTerrainWidget : public QWidget {
    Q_OBJECT

public:
    QtMeshTerrainWidget(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr,
                        const QString& name = QString());

    MeshDocument* document = nullptr;  // the document on show, set by the main window
    DocumentRunner* runner = nullptr;  // runs the build aside when the main window gives one
    Heightmap heightmap;
    QLabel* preview = nullptr;
    int grid_scale = 256;
    int grid_resolution = 256;
    int height_scale = 256;

    ColourMap colour_map;  // map_colours and map_values
    QTreeWidget* map_tree = nullptr;
    int edit_index = -1;  // the entry in the dialog, -1 for a new one
    QDialog* colour_dialog = nullptr;
    QLabel* dialog_swatch = nullptr;
    QColor picked_colour;
    QLineEdit* value_edit = nullptr;

    QSlider* gridres_slider = nullptr;
    QSlider* gridsize_slider = nullptr;
    QSlider* height_slider = nullptr;

    // Rebuilds the document's mesh as the height field.
    void build_terrain();
    // build_terrain(), then the colour map to the view (once the terrain is
    // on show, when the runner builds it aside).
    void apply_terrain();

signals:
    void build_vertexcolours_signal(std::vector<QColor> colours, std::vector<float> values);

public slots:
    void heightmapload_event();
    void height_event(int sliderval);
    void gridres_event(int sliderval);
    void gridsize_event(int sliderval);
    void addcol_event();
    void delcol_event();
    void itemDoubleClickedSlot(QTreeWidgetItem* item, int column);
    void pickcol_event();
    void ok_event();
    void cancel_event();
    void load_event();
    void save_event();

private:
    Dialogs& dialogs;
    Messages& messages;
    void send_map();
    void fill_map_tree(int current);
    void open_entry_dialog(const QString& title, const QColor& colour, const QString& value);

    QLabel* gridres_label = nullptr;
    QLabel* gridsize_label = nullptr;
    QLabel* height_label = nullptr;
};
