#include "panels/QtMorphogenWidget.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "core/Messages.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"
#include "toolkit/qt_colour.h"

QtMorphogenWidget::QtMorphogenWidget(Dialogs& dialogs_, Messages& messages_, QWidget* parent, const QString& name)
    : QWidget(parent), dialogs(dialogs_), messages(messages_)
{
    setObjectName(name);
    auto* file = new ButtonGroup(1, Qt::Horizontal, QStringLiteral("File:"), this);
    file->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    auto* load = new QPushButton(QStringLiteral("Load"), file);
    auto* save = new QPushButton(QStringLiteral("Save"), file);
    file->add(load);
    file->add(save);
    connect(load, &QPushButton::clicked, this, &QtMorphogenWidget::loadSlot);
    connect(save, &QPushButton::clicked, this, &QtMorphogenWidget::saveSlot);

    auto* main = new ButtonGroup(1, Qt::Horizontal, QString(), this);
    main->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);

    auto* base = new ButtonGroup(1, Qt::Vertical, QString(), main);
    base->add(new QLabel(QStringLiteral("Base Colour: "), base));
    swatch = new QLabel(base);
    settings.base_colour = Rgb{0, 0, 0};
    swatch->setPixmap(swatch_pixmap(Qt::black));
    base->add(swatch);
    auto* choose = new QPushButton(QStringLiteral("Choose a Colour"), base);
    base->add(choose);
    connect(choose, &QPushButton::clicked, this, &QtMorphogenWidget::pickcolpressed_slot);
    main->add(base);

    auto* mixing = new ButtonGroup(1, Qt::Vertical, QString(), main);
    mixing->add(new QLabel(QStringLiteral("Colour Mixing: "), mixing));
    additive = new QRadioButton(QStringLiteral("additive"), mixing);
    subtractive = new QRadioButton(QStringLiteral("subtractive"), mixing);
    additive->setChecked(true);
    additive->setToolTip(QStringLiteral("Switched-on morphogens add their colours to the base"));
    subtractive->setToolTip(QStringLiteral("Switched-on morphogens take their colours' complements away"));
    mixing->add(additive);
    mixing->add(subtractive);
    connect(additive, &QRadioButton::clicked, this, &QtMorphogenWidget::additiveclick_slot);
    connect(subtractive, &QRadioButton::clicked, this, &QtMorphogenWidget::substractiveclick_slot);
    main->add(mixing);

    auto* list = new ButtonGroup(1, Qt::Horizontal, QString(), main);
    list->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    tree = new QTreeWidget(list);
    tree->setColumnCount(3);
    tree->setHeaderLabels({QStringLiteral("On"), QStringLiteral("Morphogen"), QStringLiteral("Colour")});
    tree->setRootIsDecorated(false);
    tree->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    tree->setMinimumHeight(400);
    list->add(tree);
    main->add(list);
    // The colour controls stay together at the top beside the tall list.
    main->layout()->setAlignment(base, Qt::AlignTop);
    main->layout()->setAlignment(mixing, Qt::AlignTop);
    connect(tree, &QTreeWidget::itemClicked, this, &QtMorphogenWidget::itemClickedSlot);
    // Space on a row toggles its box without a click: follow it too.
    connect(tree, &QTreeWidget::itemChanged, this, &QtMorphogenWidget::check_changed);

    auto* vboxlayout = new QBoxLayout(QBoxLayout::LeftToRight, this);
    vboxlayout->setObjectName(QStringLiteral("vboxlayout"));
    vboxlayout->setContentsMargins(0, 0, 0, 0);
    vboxlayout->setSpacing(5);
    vboxlayout->setAlignment(Qt::AlignTop);
    vboxlayout->addWidget(file, 0, Qt::AlignTop);
    vboxlayout->addWidget(main, 0, Qt::AlignTop);
}

void QtMorphogenWidget::send_setting()
{
    emit buildvertexcolour_signal(settings.mix_mode, settings.toggles, to_qcolors(settings.colours),
                                  to_qcolor(settings.base_colour));
}

void QtMorphogenWidget::fill_tree()
{
    const QSignalBlocker quiet(tree);
    tree->clear();
    for (std::size_t i = 0; i < settings.names.size(); ++i) {
        auto* item = new QTreeWidgetItem(tree);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, settings.toggles[i] == 1 ? Qt::Checked : Qt::Unchecked);
        item->setText(1, QString::fromStdString(settings.names[i]));
        tree->setItemWidget(item, 2, swatch_label(to_qcolor(settings.colours[i])));
        item->setToolTip(2, QStringLiteral("Click to choose this morphogen's colour"));
    }
    tree->resizeColumnToContents(0);
    tree->resizeColumnToContents(1);
}

void QtMorphogenWidget::refresh()
{
    swatch->setPixmap(swatch_pixmap(to_qcolor(settings.base_colour)));
    additive->setChecked(settings.mix_mode == 0);
    subtractive->setChecked(settings.mix_mode != 0);
    fill_tree();
}

void QtMorphogenWidget::buildtree_slot(std::vector<std::string>& names)
{
    settings.reset(names);
    fill_tree();
}

void QtMorphogenWidget::itemClickedSlot(QTreeWidgetItem* item, int col)
{
    const int row = tree->indexOfTopLevelItem(item);
    if (row < 0 || std::size_t(row) >= settings.toggles.size()) return;
    if (col == 0)
        check_changed(item, 0);
    else if (col == 2)
        pick_colour(row);
}

void QtMorphogenWidget::check_changed(QTreeWidgetItem* item, int col)
{
    const int row = tree->indexOfTopLevelItem(item);
    if (col != 0 || row < 0 || std::size_t(row) >= settings.toggles.size()) return;
    const int on = item->checkState(0) == Qt::Checked ? 1 : 0;
    if (settings.toggles[std::size_t(row)] == on) return;
    settings.toggles[std::size_t(row)] = on;
    send_setting();
}

void QtMorphogenWidget::itemDoubleClickedSlot(QTreeWidgetItem* item, int)
{
    const int row = tree->indexOfTopLevelItem(item);
    if (row >= 0 && std::size_t(row) < settings.colours.size()) pick_colour(row);
}

void QtMorphogenWidget::pick_colour(int row)
{
    const QColor chosen = dialogs.colour(this, to_qcolor(settings.colours[std::size_t(row)]));
    if (!chosen.isValid()) return;  // Cancel keeps the colour
    settings.colours[std::size_t(row)] = to_rgb(chosen);
    tree->setItemWidget(tree->topLevelItem(row), 2, swatch_label(chosen));
    send_setting();
}

void QtMorphogenWidget::pickcolpressed_slot()
{
    const QColor chosen = dialogs.colour(this, to_qcolor(settings.base_colour));
    if (!chosen.isValid()) return;
    settings.base_colour = to_rgb(chosen);
    swatch->setPixmap(swatch_pixmap(chosen));
    send_setting();
}

void QtMorphogenWidget::additiveclick_slot()
{
    settings.mix_mode = 0;
    send_setting();
}

void QtMorphogenWidget::substractiveclick_slot()
{
    settings.mix_mode = 1;
    send_setting();
}

void QtMorphogenWidget::saveSlot()
{
    QString name = dialogs.save_file(this, QString(), data_directory("data"), QStringLiteral("*.mor"));
    if (name.isEmpty()) return;
    settings.write(with_extension(name, QStringLiteral(".mor")).toStdString(), messages);
}

void QtMorphogenWidget::loadSlot()
{
    const QString name = dialogs.open_file(this, QString(), data_directory("data"), QStringLiteral("*.mor"));
    if (!name.isEmpty() && settings.read(name.toStdString(), messages) != MorphogenSettings::Load::Loaded) return;
    refresh();
    send_setting();
}
