#include "panels/QtMeshTerrainWidget.h"

#include <algorithm>
#include <cstdio>

#include <QBoxLayout>
#include <QDialog>
#include <QDoubleValidator>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include "app/DocumentRunner.h"
#include "colouring/png_file.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"
#include "toolkit/panel_parts.h"
#include "toolkit/qt_colour.h"

namespace {

QPixmap preview_pixmap(const Heightmap& h)
{
    const RgbaImage p = h.picture();
    const QImage image(p.pixels.data(), p.width, p.height, p.width * 4, QImage::Format_RGBA8888);
    return QPixmap::fromImage(image.copy());
}

// Six significant digits; whole numbers keep a ".0" so they read as values ("1.0").
QString value_text(float v)
{
    QString text = QString::number(double(v), 'g', 6);
    bool whole = true;
    for (const QChar c : text) whole = whole && (c.isDigit() || c == QLatin1Char('-'));
    if (whole) text += QStringLiteral(".0");
    return text;
}

}  // namespace

QtMeshTerrainWidget::QtMeshTerrainWidget(Dialogs& dialogs_, Messages& messages_, QWidget* parent, const QString& name)
    : QWidget(parent), dialogs(dialogs_), messages(messages_)
{
    setObjectName(name);
    auto* upper = new ButtonGroup(1, Qt::Horizontal, QString(), this);

    auto* picture = new ButtonGroup(1, Qt::Vertical, QString(), upper);
    auto* load_heightmap = new QPushButton(QStringLiteral("Load Heightmap"), picture);
    picture->add(load_heightmap);
    preview = new QLabel(picture);
    preview->setScaledContents(true);
    preview->setMinimumSize(128, 128);
    preview->setPixmap(preview_pixmap(heightmap));
    picture->add(preview);
    upper->add(picture);
    connect(load_heightmap, &QPushButton::clicked, this, &QtMeshTerrainWidget::heightmapload_event);

    auto* map_group = new ButtonGroup(1, Qt::Vertical, QString(), upper);
    auto* file = new ButtonGroup(1, Qt::Horizontal, QStringLiteral("File:"), map_group);
    auto* load = new QPushButton(QStringLiteral("Load"), file);
    auto* save = new QPushButton(QStringLiteral("Save"), file);
    file->add(load);
    file->add(save);
    map_group->add(file);
    auto* action = new ButtonGroup(1, Qt::Horizontal, QStringLiteral("Action:"), map_group);
    auto* add = new QPushButton(QStringLiteral("add"), action);
    auto* del = new QPushButton(QStringLiteral("del"), action);
    action->add(add);
    action->add(del);
    map_group->add(action);
    map_tree = new QTreeWidget(map_group);
    map_tree->setColumnCount(2);
    map_tree->setHeaderLabels({QStringLiteral("Colour"), QStringLiteral("Value")});
    // Wide enough for its header.
    map_tree->setColumnWidth(0, std::max(32, map_tree->fontMetrics().horizontalAdvance(QStringLiteral("Colour")) + 16));
    map_tree->setColumnWidth(1, 64);
    map_tree->setRootIsDecorated(false);
    map_tree->setToolTip(QStringLiteral("Double-click an entry to edit it"));
    map_group->add(map_tree);
    upper->add(map_group);
    connect(load, &QPushButton::clicked, this, &QtMeshTerrainWidget::load_event);
    connect(save, &QPushButton::clicked, this, &QtMeshTerrainWidget::save_event);
    connect(add, &QPushButton::clicked, this, &QtMeshTerrainWidget::addcol_event);
    connect(del, &QPushButton::clicked, this, &QtMeshTerrainWidget::delcol_event);
    connect(map_tree, &QTreeWidget::itemDoubleClicked, this, &QtMeshTerrainWidget::itemDoubleClickedSlot);
    fill_map_tree(-1);

    auto* sliders = new ButtonGroup(1, Qt::Vertical, QString(), this);
    gridres_label = new QLabel(QStringLiteral("Grid Resolution:\t256"), sliders);
    gridres_slider = panel_slider(sliders, "gridres_slider", 1, 512, 1, 256, 25);
    gridsize_label = new QLabel(QStringLiteral("Grid Scale:\t256"), sliders);
    gridsize_slider = panel_slider(sliders, "gridres_slider", 1, 512, 1, 256, 25);
    height_label = new QLabel(QStringLiteral("Height Scale:\t256"), sliders);
    height_slider = panel_slider(sliders, "height_slider", 1, 1024, 1, 256, 25);
    sliders->add(slider_row(gridres_label, gridres_slider));
    sliders->add(slider_row(gridsize_label, gridsize_slider));
    sliders->add(slider_row(height_label, height_slider));
    connect(gridres_slider, &QSlider::valueChanged, this, &QtMeshTerrainWidget::gridres_event);
    connect(gridsize_slider, &QSlider::valueChanged, this, &QtMeshTerrainWidget::gridsize_event);
    connect(height_slider, &QSlider::valueChanged, this, &QtMeshTerrainWidget::height_event);

    auto* terrain_blayout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    terrain_blayout->setObjectName(QStringLiteral("terrain_blayout"));
    terrain_blayout->setContentsMargins(10, 10, 10, 10);
    terrain_blayout->setSpacing(10);
    terrain_blayout->addWidget(upper, 10);
    terrain_blayout->addWidget(sliders, 1);

    height_event(64);
    gridres_event(64);
    gridsize_event(256);
}

void QtMeshTerrainWidget::height_event(int sliderval)
{
    height_scale = sliderval;
    height_slider->setValue(sliderval);
    height_label->setText(QStringLiteral("Height Scale:\t") + QString::number(sliderval));
    update();
}

void QtMeshTerrainWidget::gridres_event(int sliderval)
{
    grid_resolution = sliderval;
    gridres_slider->setValue(sliderval);
    gridres_label->setText(QStringLiteral("Grid Resolution:\t") + QString::number(sliderval));
    update();
}

void QtMeshTerrainWidget::gridsize_event(int sliderval)
{
    grid_scale = sliderval;
    gridsize_slider->setValue(sliderval);
    gridsize_label->setText(QStringLiteral("Grid Scale:\t") + QString::number(sliderval));
    update();
}

void QtMeshTerrainWidget::heightmapload_event()
{
    const QString name = dialogs.open_file(this, QString(), data_directory("Heightmaps/"), QStringLiteral("*.png"));
    if (!name.isEmpty()) {
        RgbaImage image;
        std::string error;
        if (read_png(name.toStdString(), image, error)) {
            heightmap.load(image);
            preview->setPixmap(preview_pixmap(heightmap));
        } else {
            messages.error(
                "ERROR: " + name.toLocal8Bit().toStdString() + ": does not load as a PNG image: " + error + "\n",
                name.toStdString());
        }
    }
    update();
}

void QtMeshTerrainWidget::build_terrain()
{
    if (document) document->build_terrain(heightmap, grid_resolution, float(grid_scale), float(height_scale));
}

void QtMeshTerrainWidget::apply_terrain()
{
    if (runner && document) {
        const Heightmap picture = heightmap;
        const int resolution = grid_resolution;
        const float scale = float(grid_scale), height = float(height_scale);
        runner->run(
            "Building the terrain", DocumentParts{false, false},
            [=](MeshDocument& d) { d.build_terrain(picture, resolution, scale, height); }, [this] { send_map(); });
        return;
    }
    build_terrain();
    send_map();
}

void QtMeshTerrainWidget::send_map()
{
    emit build_vertexcolours_signal(to_qcolors(colour_map.map_colours), colour_map.map_values);
}

void QtMeshTerrainWidget::fill_map_tree(int current)
{
    map_tree->clear();
    for (std::size_t i = 0; i < colour_map.size(); ++i) {
        auto* item = new QTreeWidgetItem(map_tree);
        item->setText(1, value_text(colour_map.map_values[i]));
        map_tree->setItemWidget(item, 0, swatch_label(to_qcolor(colour_map.map_colours[i])));
    }
    if (current >= 0) map_tree->setCurrentItem(map_tree->topLevelItem(current));
}

void QtMeshTerrainWidget::open_entry_dialog(const QString& title, const QColor& colour, const QString& value)
{
    QDialog dialog(this);
    dialog.setModal(true);
    dialog.setWindowTitle(title);
    auto* rows = new QBoxLayout(QBoxLayout::TopToBottom, &dialog);
    rows->setContentsMargins(10, 10, 10, 10);
    rows->setSpacing(0);
    auto row = [rows]() {
        auto* r = new QBoxLayout(QBoxLayout::LeftToRight);
        r->setContentsMargins(10, 10, 10, 10);
        r->setSpacing(0);
        rows->addLayout(r);
        return r;
    };
    QBoxLayout* colour_row = row();
    colour_row->addWidget(new QLabel(QStringLiteral("Colour: "), &dialog));
    dialog_swatch = new QLabel(&dialog);
    dialog_swatch->setPixmap(swatch_pixmap(colour));
    colour_row->addWidget(dialog_swatch);
    auto* pick = new QPushButton(QStringLiteral("Pick a Colour"), &dialog);
    colour_row->addWidget(pick);
    QBoxLayout* value_row = row();
    value_row->addWidget(new QLabel(QStringLiteral("Value: "), &dialog));
    value_edit = new QLineEdit(value, &dialog);
    auto* numbers = new QDoubleValidator(value_edit);
    numbers->setLocale(QLocale::c());
    value_edit->setValidator(numbers);
    value_row->addWidget(value_edit);
    QBoxLayout* buttons = row();
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("CANCEL"), &dialog);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(pick, &QPushButton::clicked, this, &QtMeshTerrainWidget::pickcol_event);
    connect(ok, &QPushButton::clicked, this, &QtMeshTerrainWidget::ok_event);
    connect(cancel, &QPushButton::clicked, this, &QtMeshTerrainWidget::cancel_event);

    colour_dialog = &dialog;
    dialogs.exec(dialog);
    colour_dialog = nullptr;
    dialog_swatch = nullptr;
    value_edit = nullptr;
}

void QtMeshTerrainWidget::addcol_event()
{
    edit_index = -1;
    // A new entry starts black, as its swatch shows.
    picked_colour = Qt::black;
    open_entry_dialog(QStringLiteral("New Colour"), picked_colour, QStringLiteral("0.0"));
}

void QtMeshTerrainWidget::itemDoubleClickedSlot(QTreeWidgetItem* item, int)
{
    const int i = map_tree->indexOfTopLevelItem(item);
    if (i < 0 || std::size_t(i) >= colour_map.size()) return;
    edit_index = i;
    picked_colour = to_qcolor(colour_map.map_colours[std::size_t(i)]);
    open_entry_dialog(QStringLiteral("Edit Colour"), picked_colour, value_text(colour_map.map_values[std::size_t(i)]));
}

void QtMeshTerrainWidget::pickcol_event()
{
    const QColor chosen = dialogs.colour(this, picked_colour);
    if (!chosen.isValid()) return;  // Cancel keeps the colour
    picked_colour = chosen;
    if (dialog_swatch) dialog_swatch->setPixmap(swatch_pixmap(picked_colour));
}

void QtMeshTerrainWidget::cancel_event()
{
    if (colour_dialog) colour_dialog->reject();
}

void QtMeshTerrainWidget::ok_event()
{
    if (!colour_dialog) return;
    colour_dialog->accept();
    bool number = false;
    float value = value_edit->text().toFloat(&number);
    if (!number) value = 0.0f;
    const Rgb colour = to_rgb(picked_colour);
    const std::size_t at = edit_index < 0 || std::size_t(edit_index) >= colour_map.size()
                               ? colour_map.insert(value, colour)
                               : colour_map.change(std::size_t(edit_index), value, colour);
    fill_map_tree(int(at));
    send_map();
}

void QtMeshTerrainWidget::delcol_event()
{
    QTreeWidgetItem* current = map_tree->currentItem();
    if (!current) return;
    const int i = map_tree->indexOfTopLevelItem(current);
    if (i < 0) return;
    if (!colour_map.removable(std::size_t(i))) {
        messages.info("not allowed\n");
        return;
    }
    if (!dialogs.confirm(this, tr("Confirm Delete..."),
                         tr("Are you sure you would like to delete the selected colour map entry?\n")))
        return;
    colour_map.remove(std::size_t(i));
    fill_map_tree(std::min(i, int(colour_map.size()) - 1));
    send_map();
}

void QtMeshTerrainWidget::save_event()
{
    const QString name = dialogs.save_file(this, QString(), data_directory("ColourMaps"), QStringLiteral("*.map"));
    if (name.isEmpty()) return;
    colour_map.write(with_extension(name, QStringLiteral(".map")).toStdString(), messages);
}

void QtMeshTerrainWidget::load_event()
{
    const QString name = dialogs.open_file(this, QString(), data_directory("ColourMaps"), QStringLiteral("*.map"));
    if (!name.isEmpty()) colour_map.read(name.toStdString(), messages);
    fill_map_tree(-1);
    send_map();
}
