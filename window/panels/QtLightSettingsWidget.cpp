#include "panels/QtLightSettingsWidget.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "app/icons.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/Dialogs.h"
#include "toolkit/qt_colour.h"

namespace {

QPixmap filled(const QColor& colour)
{
    QPixmap pixmap(32, 32);
    // An invalid colour cannot be drawn; show it black like its value.
    pixmap.fill(colour.isValid() ? colour : QColor(Qt::black));
    return pixmap;
}

QLabel* make_swatch(const QColor& colour, QWidget* parent)
{
    auto* swatch = new QLabel(parent);
    swatch->setFrameStyle(QFrame::Panel | QFrame::Raised);
    swatch->setFixedSize(32, 32);
    swatch->setPixmap(filled(colour));
    return swatch;
}

QSlider* make_light_slider(const QString& name, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(0, 360);
    slider->setPageStep(10);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(36);
    slider->setTracking(false);
    slider->setMinimumWidth(180);
    return slider;
}

Vector colour_value(const QColor& c)
{
    return Vector(c.red() / 255.0f, c.green() / 255.0f, c.blue() / 255.0f, 1.0f);
}

}  // namespace

QtLightSettingsWidget::QtLightSettingsWidget(Dialogs& dialogs_, Messages& messages_, QWidget* parent,
                                             const QString& name)
    : QWidget(parent), dialogs(dialogs_), messages(messages_)
{
    setObjectName(name);

    auto* file_group = new ButtonGroup(1, Qt::Horizontal, "File:", this);
    auto* open = new QPushButton(load_icon("icons/fileopen.xpm"), "Open", file_group);
    open->setObjectName("open");
    auto* save = new QPushButton(load_icon("icons/filesave.xpm"), "Save", file_group);
    save->setObjectName("save");
    file_group->add(open);
    file_group->add(save);
    connect(open, &QPushButton::clicked, this, &QtLightSettingsWidget::load_event);
    connect(save, &QPushButton::clicked, this, &QtLightSettingsWidget::save_event);

    auto* preferences = new ButtonGroup(3, Qt::Vertical, "Lighting Preferences:", this);

    auto* shader_group = new ButtonGroup(1, Qt::Vertical, "Shader Programs:", preferences);
    auto* shader = new QComboBox(shader_group);
    shader->setObjectName("volshader_combobox");
    shader->addItem("default (no shaders)");
    shader->addItem("per pixel lighting");
    shader->setCurrentIndex(0);
    shader_group->add(shader);
    connect(shader, qOverload<int>(&QComboBox::activated), this, &QtLightSettingsWidget::shader_combobox_event);
    preferences->add(shader_group);

    auto* colours = new QGridLayout;
    colours->setSpacing(5);
    struct ColourGroup {
        const char* title;
        QLabel** swatch;
        const QColor& colour;
        void (QtLightSettingsWidget::*slot)();
    };
    const ColourGroup groups[] = {
        {"Ambient Colour:", &ambient_swatch, ambient_colour, &QtLightSettingsWidget::amb_colourdlg_event},
        {"Diffuse Colour:", &diffuse_swatch, diffuse_colour, &QtLightSettingsWidget::dif_colourdlg_event},
        {"Specular Colour:", &specular_swatch, specular_colour, &QtLightSettingsWidget::spec_colourdlg_event},
    };
    int column = 0;
    for (const ColourGroup& g : groups) {
        auto* box = new ButtonGroup(1, Qt::Vertical, g.title, preferences);
        *g.swatch = make_swatch(g.colour, box);
        auto* change = new QPushButton("Change", box);
        box->add(*g.swatch);
        box->add(change);
        connect(change, &QPushButton::clicked, this, g.slot);
        colours->addWidget(box, 0, column++);
    }
    preferences->add(colours);

    auto* position = new ButtonGroup(1, Qt::Vertical, "Light Position:", preferences);
    auto* altitude_row = new ButtonGroup(1, Qt::Horizontal, position);
    altitude_label = new QLabel("Altitude: 0", altitude_row);
    altitude_slider = make_light_slider("l_altitude_slider", altitude_row);
    altitude_row->add(altitude_label);
    altitude_row->add(altitude_slider);
    connect(altitude_slider, &QSlider::valueChanged, this, &QtLightSettingsWidget::l_altitude_event);
    l_altitude_event(altitude);
    auto* azimuth_row = new ButtonGroup(1, Qt::Horizontal, position);
    azimuth_label = new QLabel("Azimuth: 0", azimuth_row);
    azimuth_slider = make_light_slider("l_azimuth_slider", azimuth_row);
    azimuth_row->add(azimuth_label);
    azimuth_row->add(azimuth_slider);
    connect(azimuth_slider, &QSlider::valueChanged, this, &QtLightSettingsWidget::l_azimuth_event);
    l_azimuth_event(azimuth);
    position->add(altitude_row);
    position->add(azimuth_row);
    preferences->add(position);

    auto* topmost = new QHBoxLayout(this);
    topmost->setObjectName("topmost");
    topmost->setContentsMargins(10, 10, 10, 10);
    topmost->setSpacing(5);
    topmost->setAlignment(Qt::AlignTop);
    topmost->addWidget(file_group);
    topmost->addWidget(preferences);

    emit light_colour_signal(ambient, diffuse, specular);
}

LightSettings QtLightSettingsWidget::settings() const
{
    LightSettings s;
    s.ambient = to_rgb(ambient_colour);
    s.diffuse = to_rgb(diffuse_colour);
    s.specular = to_rgb(specular_colour);
    s.altitude = altitude;
    s.azimuth = azimuth;
    return s;
}

void QtLightSettingsWidget::show_settings(const LightSettings& s)
{
    set_colour(ambient_colour, ambient, ambient_swatch, to_qcolor(s.ambient));
    set_colour(diffuse_colour, diffuse, diffuse_swatch, to_qcolor(s.diffuse));
    set_colour(specular_colour, specular, specular_swatch, to_qcolor(s.specular));
    emit light_colour_signal(ambient, diffuse, specular);
    {
        const QSignalBlocker quiet(azimuth_slider);
        azimuth_slider->setValue(s.azimuth);
    }
    azimuth = s.azimuth;
    azimuth_label->setText("Azimuth: " + QString::number(azimuth));
    l_altitude_event(s.altitude);
}

void QtLightSettingsWidget::load_event()
{
    const QString name = dialogs.open_file(this, QString(), data_directory("data"), "*.lgt");
    if (name.isEmpty()) return;
    LightSettings s = settings();
    if (s.read(QFile::encodeName(name).toStdString(), messages)) show_settings(s);
}

void QtLightSettingsWidget::save_event()
{
    const QString name = dialogs.save_file(this, QString(), data_directory("data"), "*.lgt");
    if (name.isEmpty()) return;
    settings().write(QFile::encodeName(with_extension(name, ".lgt")).toStdString(), messages);
}

void QtLightSettingsWidget::set_colour(QColor& colour, Vector& value, QLabel* swatch, const QColor& chosen)
{
    colour = chosen;
    swatch->setPixmap(filled(colour));
    value = colour_value(colour);
}

void QtLightSettingsWidget::change_colour(QColor& colour, Vector& value, QLabel* swatch)
{
    const QColor chosen = dialogs.colour(this, colour);
    if (!chosen.isValid()) return;
    set_colour(colour, value, swatch, chosen);
    emit light_colour_signal(ambient, diffuse, specular);
}

void QtLightSettingsWidget::amb_colourdlg_event()
{
    change_colour(ambient_colour, ambient, ambient_swatch);
}

void QtLightSettingsWidget::dif_colourdlg_event()
{
    change_colour(diffuse_colour, diffuse, diffuse_swatch);
}

void QtLightSettingsWidget::spec_colourdlg_event()
{
    change_colour(specular_colour, specular, specular_swatch);
}

void QtLightSettingsWidget::l_altitude_event(int value)
{
    {
        // Moving the slider from here must not call this slot again.
        const QSignalBlocker quiet(altitude_slider);
        altitude_slider->setValue(value);
    }
    altitude = value;
    altitude_label->setText("Altitude: " + QString::number(value));
    emit light_position_signal(float(altitude), float(azimuth));
}

void QtLightSettingsWidget::l_azimuth_event(int value)
{
    {
        const QSignalBlocker quiet(azimuth_slider);
        azimuth_slider->setValue(value);
    }
    azimuth = value;
    azimuth_label->setText("Azimuth: " + QString::number(value));
    emit light_position_signal(float(altitude), float(azimuth));
}

// Both entries light the same way: there are no shader programs.
void QtLightSettingsWidget::shader_combobox_event(int) {}
