#include "panels/QtMeshClassifierWidget.h"

#include <algorithm>

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"
#include "toolkit/panel_parts.h"

QString table_file_name(const QString& chosen)
{
    if (chosen.size() < 4 || chosen.at(chosen.size() - 4) != QChar('.')) return chosen + ".spt";
    return chosen;
}

QtMeshClassifierWidget::QtMeshClassifierWidget(Dialogs& dialogs_, QWidget* parent, const QString& name)
    : QWidget(parent), dialogs(dialogs_)
{
    setObjectName(name);
    auto* group = new ButtonGroup(1, Qt::Vertical, this);

    auto* files = new ButtonGroup(1, Qt::Horizontal);
    load_button = new QPushButton("Load ShortestPathTable");
    save_button = new QPushButton("Save ShortestPathTable");
    files->add(load_button);
    files->add(save_button);

    auto* modes = new ButtonGroup(1, Qt::Horizontal);
    modes->set_exclusive(true);
    floyd_button = new QPushButton("Floyd SP");
    dijkstra_button = new QPushButton("Djikstra SP");
    floyd_button->setCheckable(true);
    dijkstra_button->setCheckable(true);
    dijkstra_button->setChecked(true);
    modes->add(floyd_button);
    modes->add(dijkstra_button);

    patches_label = new QLabel("Number of Patches:\t1");
    patches_slider = panel_slider(nullptr, "threshmin_slider", 1, 50, 1, 1, 1);
    weight_label = new QLabel("Weight:\t0.5");
    weight_slider = panel_slider(nullptr, "weight_slider", 0, 100, 1, 50, 10);

    auto* browse = new ButtonGroup(1, Qt::Horizontal);
    previous_button = new QPushButton("Previous");
    next_button = new QPushButton("Next");
    browse->add(previous_button);
    browse->add(next_button);

    threshold_label = new QLabel("Patch Threshold:\t1");
    threshold_slider = panel_slider(nullptr, "patchthreshold_slider", 1, 100, 1, 1, 5);
    mark_button = new QPushButton("Mark Current");

    group->add(files);
    group->add(modes);
    group->add(slider_row(patches_label, patches_slider));
    group->add(slider_row(weight_label, weight_slider));
    group->add(browse);
    group->add(slider_row(threshold_label, threshold_slider));
    group->add(mark_button);

    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->setObjectName("patchtab_blayout ");
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(group, 1);

    connect(load_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::loadEvent);
    connect(save_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::saveEvent);
    connect(floyd_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::floydEvent);
    connect(dijkstra_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::djikstraEvent);
    connect(patches_slider, &QSlider::valueChanged, this, &QtMeshClassifierWidget::numbpatchesEvent);
    connect(weight_slider, &QSlider::valueChanged, this, &QtMeshClassifierWidget::weightEvent);
    connect(previous_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::previousEvent);
    connect(next_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::nextEvent);
    connect(threshold_slider, &QSlider::valueChanged, this, &QtMeshClassifierWidget::patchthreshEvent);
    connect(mark_button, &QPushButton::clicked, this, &QtMeshClassifierWidget::markcurrentEvent);
}

void QtMeshClassifierWidget::apply()
{
    emit meshclassify_signal();
}

void QtMeshClassifierWidget::announce_mode()
{
    emit sp_mode_signal(floyd_button->isChecked() ? 0 : 1);
}

// Reached from the slider and from the view after a classification; setting
// the slider to a new value comes back here first, so the view then hears
// the count twice.
void QtMeshClassifierWidget::numbpatchesEvent(int n)
{
    num_patches = n;
    patches_label->setText("Number of Patches:\t" + QString::number(n));
    patches_slider->setValue(n);
    emit numpatches_signal(n);
}

void QtMeshClassifierWidget::previousEvent()
{
    current_patch = std::max(current_patch - 1, 0);
    emit previouspatch_signal(current_patch);
    emit patchthresh_signal(patch_threshold);
}

void QtMeshClassifierWidget::nextEvent()
{
    current_patch = std::max(std::min(current_patch + 1, num_patches - 1), 0);
    emit nextpatch_signal(current_patch);
    emit patchthresh_signal(patch_threshold);
}

void QtMeshClassifierWidget::patchthreshEvent(int t)
{
    patch_threshold = t;
    threshold_label->setText("Patch Threshold:\t" + QString::number(t));
    emit patchthresh_signal(t);
}

void QtMeshClassifierWidget::weightEvent(int v)
{
    weight = float(v) / 100.0f;
    weight_label->setText("Weight:\t" + rounded(weight));
    emit weight_signal(weight);
}

void QtMeshClassifierWidget::floydEvent()
{
    emit sp_mode_signal(0);
}

void QtMeshClassifierWidget::djikstraEvent()
{
    emit sp_mode_signal(1);
}

void QtMeshClassifierWidget::loadEvent()
{
    const QString chosen = dialogs.open_file(this, QString(), data_directory("\\Data"), "*.spt");
    if (chosen.isEmpty()) return;
    emit loadsp_signal(table_file_name(chosen));
}

void QtMeshClassifierWidget::saveEvent()
{
    const QString chosen = dialogs.save_file(this, QString(), data_directory("\\Data"), "*.spt");
    if (chosen.isEmpty()) return;
    emit savesp_signal(table_file_name(chosen));
}

// Marking a patch is done from the traversal panel; this button has no
// action of its own.
void QtMeshClassifierWidget::markcurrentEvent() {}
