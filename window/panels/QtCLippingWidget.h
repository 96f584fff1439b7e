#pragma once

#include <array>

#include <QString>
#include <QWidget>

class Dialogs;
class Messages;
class QPushButton;

// The panel of the six clipping planes. It holds no plane data: its plane
// buttons are its only record of which plane is selected, kept radio-button
// fashion, and every action leaves as a signal for the view.
class QtCLippingWidget : public QWidget {
    Q_OBJECT
public:
    QtCLippingWidget(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr, const QString& name = QString());

    QPushButton* load_button = nullptr;
    QPushButton* save_button = nullptr;
    QPushButton* resetall_button = nullptr;
    QPushButton* resetcurrent_button = nullptr;
    QPushButton* showall_button = nullptr;
    std::array<QPushButton*, 6> plane_buttons{};

signals:
    void cutplane_select_signal(int selected);
    void cutplane_invert_signal(int selected);
    void cutplane_load_signal(QString fn);
    void cutplane_save_signal(QString fn);
    void cutplane_showall_signal(int selected);
    void cutplane_resetall_signal();
    void cutplane_resetcurrent_signal();
    void redclip_signal();
    void greenclip_signal();
    void blueclip_signal();
    void isoclip_signal();
    void plane1rendermode_signal(int mode);
    void plane2rendermode_signal(int mode);
    void plane3rendermode_signal(int mode);
    void plane4rendermode_signal(int mode);
    void plane5rendermode_signal(int mode);
    void plane6rendermode_signal(int mode);

public slots:
    void invert_button_event();
    void showall_button_event();
    void resetall_button_event();
    void resetcurr_button_event();
    void plane1_button_event();
    void plane2_button_event();
    void plane3_button_event();
    void plane4_button_event();
    void plane5_button_event();
    void plane6_button_event();
    void cutplane_load_event();
    void cutplane_save_event();
    void red_button_event();
    void green_button_event();
    void blue_button_event();
    void iso_button_event();
    void plane1combo_event(int mode);
    void plane2combo_event(int mode);
    void plane3combo_event(int mode);
    void plane4combo_event(int mode);
    void plane5combo_event(int mode);
    void plane6combo_event(int mode);
    void plane1checkbox_event(int value);
    void plane2checkbox_event(int value);
    void plane3checkbox_event(int value);
    void plane4checkbox_event(int value);
    void plane5checkbox_event(int value);
    void plane6checkbox_event(int value);
    // The view put every plane back on its box, none selected.
    void planes_reset_event();

private:
    // Plane button `index` (0-based) was clicked and has toggled.
    void plane_clicked(int index);
    void checkbox_value(int value);

    Dialogs& dialogs;
    Messages& messages;
};

// The name a plane file is saved under: ".slc" is appended unless the name
// already ends in a full stop and three characters.
QString plane_file_name(const QString& chosen);
