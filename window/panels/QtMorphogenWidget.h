#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QWidget>

#include "colouring/MorphogenSettings.h"

class Dialogs;
class Messages;
class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "Morphogens" panel: lists the morphogens of the mesh on show, each
// with an on/off check box and a colour, plus the base colour and the mixing
// mode. Every change sends the whole setting to the view, which recolours
// the mesh at once. Settings are saved to and loaded from ".mor" files.
class QtMorphogenWidget : public QWidget {
    Q_OBJECT

public:
    QtMorphogenWidget(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr, const QString& name = QString());

    // Mix mode, base colour, per-morphogen colours, names and toggles.
    MorphogenSettings settings;
    QTreeWidget* tree = nullptr;
    QLabel* swatch = nullptr;
    QRadioButton* additive = nullptr;
    QRadioButton* subtractive = nullptr;

signals:
    void gettreeitem_signal();
    void buildvertexcolour_signal(int mixmode, std::vector<int> tooglestates, std::vector<QColor> colours,
                                  QColor defaultcolour);

public slots:
    void buildtree_slot(std::vector<std::string>& names);
    void saveSlot();
    void loadSlot();
    void itemDoubleClickedSlot(QTreeWidgetItem* item, int col);
    void itemClickedSlot(QTreeWidgetItem* item, int col);
    void pickcolpressed_slot();
    void additiveclick_slot();
    void substractiveclick_slot();

private:
    Dialogs& dialogs;
    Messages& messages;
    void send_setting();
    void refresh();
    void fill_tree();
    void pick_colour(int row);
    void check_changed(QTreeWidgetItem* item, int col);
};
