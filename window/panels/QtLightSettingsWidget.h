#pragma once

#include <QColor>
#include <QWidget>

#include "colouring/LightSettings.h"
#include "core/Vector.h"
#include "toolkit/meta_types.h"

class Dialogs;
class Messages;
class QLabel;
class QSlider;

// The page of the lighting dialogue: the light's three colours and its
// direction as altitude and azimuth. Every change is sent at once. "Open"
// and "Save" read and write the settings as a light file (".lgt").
class QtLightSettingsWidget : public QWidget {
    Q_OBJECT
public:
    QtLightSettingsWidget(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr,
                          const QString& name = QString());

    QLabel* ambient_swatch = nullptr;
    QColor ambient_colour{127, 127, 127, 255};
    Vector ambient{0.5f, 0.5f, 0.5f, 1.0f};
    QLabel* diffuse_swatch = nullptr;
    QColor diffuse_colour{31, 31, 31, 255};
    Vector diffuse{0.125f, 0.125f, 0.125f, 1.0f};
    QLabel* specular_swatch = nullptr;
    QColor specular_colour{0, 0, 0, 255};
    Vector specular{0.0f, 0.0f, 0.0f, 1.0f};
    QLabel* altitude_label = nullptr;
    QSlider* altitude_slider = nullptr;
    int altitude = 0;
    QLabel* azimuth_label = nullptr;
    QSlider* azimuth_slider = nullptr;
    int azimuth = 180;

signals:
    void light_position_signal(float alti, float azim);
    void light_colour_signal(Vector amb, Vector diff, Vector specular);
    void shader_signal(int id);

public slots:
    void load_event();
    void save_event();
    void amb_colourdlg_event();
    void dif_colourdlg_event();
    void spec_colourdlg_event();
    void l_altitude_event(int value);
    void l_azimuth_event(int value);
    void shader_combobox_event(int id);

private:
    // Asks for a new colour; a cancelled dialogue changes nothing.
    void change_colour(QColor& colour, Vector& value, QLabel* swatch);
    void set_colour(QColor& colour, Vector& value, QLabel* swatch, const QColor& chosen);
    LightSettings settings() const;
    // Shows and sends settings read from a file.
    void show_settings(const LightSettings& s);

    Dialogs& dialogs;
    Messages& messages;
};
