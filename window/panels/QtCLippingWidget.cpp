#include "panels/QtCLippingWidget.h"

#include <cstdio>

#include <QBoxLayout>
#include <QPushButton>

#include "app/icons.h"
#include "core/Messages.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"

QtCLippingWidget::QtCLippingWidget(Dialogs& dialogs_, Messages& messages_, QWidget* parent, const QString& name)
    : QWidget(parent), dialogs(dialogs_), messages(messages_)
{
    setObjectName(name);

    auto* file_group = new ButtonGroup(1, Qt::Horizontal, "File:", this);
    load_button = new QPushButton(load_icon("icons/fileopen.xpm"), "Load", file_group);
    load_button->setObjectName("open");
    file_group->add(load_button);
    save_button = new QPushButton(load_icon("icons/filesave.xpm"), "Save", file_group);
    save_button->setObjectName("save");
    file_group->add(save_button);
    connect(load_button, &QPushButton::clicked, this, &QtCLippingWidget::cutplane_load_event);
    connect(save_button, &QPushButton::clicked, this, &QtCLippingWidget::cutplane_save_event);

    auto* action_group = new ButtonGroup(1, Qt::Horizontal, "Actions:", this);
    resetcurrent_button = new QPushButton("Reset Current", action_group);
    resetall_button = new QPushButton("Reset All", action_group);
    showall_button = new QPushButton("Show All", action_group);
    showall_button->setCheckable(true);
    action_group->add(resetcurrent_button);
    action_group->add(resetall_button);
    action_group->add(showall_button);
    connect(resetcurrent_button, &QPushButton::pressed, this, &QtCLippingWidget::resetcurr_button_event);
    connect(resetall_button, &QPushButton::pressed, this, &QtCLippingWidget::resetall_button_event);
    connect(showall_button, &QPushButton::pressed, this, &QtCLippingWidget::showall_button_event);

    // Two rows, filled column by column: each axis's pair of planes in one
    // column, and the panel narrow enough to sit beside the main window.
    auto* planes_group = new ButtonGroup(2, Qt::Horizontal, "Clipping Planes:", this);
    using Slot = void (QtCLippingWidget::*)();
    const Slot plane_slots[6] = {
        &QtCLippingWidget::plane1_button_event, &QtCLippingWidget::plane2_button_event,
        &QtCLippingWidget::plane3_button_event, &QtCLippingWidget::plane4_button_event,
        &QtCLippingWidget::plane5_button_event, &QtCLippingWidget::plane6_button_event,
    };
    for (int i = 0; i < 6; ++i) {
        auto* plane_group = new ButtonGroup(1, Qt::Vertical, QString("PLANE_%1").arg(i + 1), planes_group);
        auto* button = new QPushButton("Enable/Disable", plane_group);
        button->setCheckable(true);
        // A selected plane's button in the yellow of its outline in the view.
        button->setStyleSheet(
            "QPushButton:checked { background-color: #f2d024; border: 1px solid #8a7400; "
            "border-radius: 3px; padding: 4px 6px; font-weight: bold; }");
        plane_group->add(button);
        planes_group->add(plane_group);
        plane_buttons[std::size_t(i)] = button;
        connect(button, &QPushButton::clicked, this, plane_slots[i]);
    }

    auto* topmost = new QHBoxLayout(this);
    topmost->setObjectName("topmost");
    topmost->setContentsMargins(10, 10, 10, 10);
    topmost->setSpacing(5);
    auto* left = new QVBoxLayout;
    left->setObjectName("vboxlayout");
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(5);
    left->addWidget(file_group, 0, Qt::AlignTop);
    left->addWidget(action_group, 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->setObjectName("vboxlayout");
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(5);
    right->addWidget(planes_group, 0, Qt::AlignTop);
    topmost->addLayout(left, 1);
    topmost->setAlignment(left, Qt::AlignTop);
    topmost->addLayout(right, 10);
}

void QtCLippingWidget::plane_clicked(int index)
{
    // Deselect in the view whichever other plane is on, then flip this one:
    // the view's state follows the clicked button's new checked state.
    for (int j = 0; j < 6; ++j)
        if (j != index && plane_buttons[std::size_t(j)]->isChecked()) emit cutplane_select_signal(j);
    for (int j = 0; j < 6; ++j)
        if (j != index) plane_buttons[std::size_t(j)]->setChecked(false);
    emit cutplane_select_signal(index);
}

void QtCLippingWidget::planes_reset_event()
{
    for (QPushButton* b : plane_buttons) b->setChecked(false);
}

void QtCLippingWidget::plane1_button_event()
{
    plane_clicked(0);
}
void QtCLippingWidget::plane2_button_event()
{
    plane_clicked(1);
}
void QtCLippingWidget::plane3_button_event()
{
    plane_clicked(2);
}
void QtCLippingWidget::plane4_button_event()
{
    plane_clicked(3);
}
void QtCLippingWidget::plane5_button_event()
{
    plane_clicked(4);
}
void QtCLippingWidget::plane6_button_event()
{
    plane_clicked(5);
}

// Runs on pressed(), before the click toggles the button: the value sent is
// the checked state the click is about to give it.
void QtCLippingWidget::showall_button_event()
{
    emit cutplane_showall_signal(showall_button->isChecked() ? 0 : 1);
}

void QtCLippingWidget::resetall_button_event()
{
    for (QPushButton* button : plane_buttons) button->setChecked(false);
    emit cutplane_resetall_signal();
}

void QtCLippingWidget::resetcurr_button_event()
{
    for (const QPushButton* button : plane_buttons)
        if (button->isChecked()) {
            emit cutplane_resetcurrent_signal();
            return;
        }
}

void QtCLippingWidget::cutplane_load_event()
{
    const QString name = dialogs.open_file(this, QString(), data_directory("data"), "*.slc");
    if (!name.isEmpty()) emit cutplane_load_signal(name);
}

void QtCLippingWidget::cutplane_save_event()
{
    const QString name = dialogs.save_file(this, QString(), data_directory("data"), "*.slc");
    if (!name.isEmpty()) emit cutplane_save_signal(plane_file_name(name));
}

QString plane_file_name(const QString& chosen)
{
    if (chosen.size() < 4 || chosen[chosen.size() - 4] != QChar('.')) return chosen + ".slc";
    return chosen;
}

void QtCLippingWidget::invert_button_event()
{
    emit cutplane_invert_signal(resetall_button->isChecked() ? 0 : 1);
}

void QtCLippingWidget::red_button_event()
{
    emit redclip_signal();
}
void QtCLippingWidget::green_button_event()
{
    emit greenclip_signal();
}
void QtCLippingWidget::blue_button_event()
{
    emit blueclip_signal();
}
void QtCLippingWidget::iso_button_event()
{
    emit isoclip_signal();
}

void QtCLippingWidget::plane1combo_event(int mode)
{
    emit plane1rendermode_signal(mode);
}
void QtCLippingWidget::plane2combo_event(int mode)
{
    emit plane2rendermode_signal(mode);
}
void QtCLippingWidget::plane3combo_event(int mode)
{
    emit plane3rendermode_signal(mode);
}
void QtCLippingWidget::plane4combo_event(int mode)
{
    emit plane4rendermode_signal(mode);
}
void QtCLippingWidget::plane5combo_event(int mode)
{
    emit plane5rendermode_signal(mode);
}
void QtCLippingWidget::plane6combo_event(int mode)
{
    emit plane6rendermode_signal(mode);
}

void QtCLippingWidget::checkbox_value(int value)
{
    messages.info(std::to_string(value) + "\n");
}

void QtCLippingWidget::plane1checkbox_event(int value)
{
    checkbox_value(value);
}
void QtCLippingWidget::plane2checkbox_event(int value)
{
    checkbox_value(value);
}
void QtCLippingWidget::plane3checkbox_event(int value)
{
    checkbox_value(value);
}
void QtCLippingWidget::plane4checkbox_event(int value)
{
    checkbox_value(value);
}
void QtCLippingWidget::plane5checkbox_event(int value)
{
    checkbox_value(value);
}
void QtCLippingWidget::plane6checkbox_event(int value)
{
    checkbox_value(value);
}
