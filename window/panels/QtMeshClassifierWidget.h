#pragma once

#include <QString>
#include <QWidget>

class Dialogs;
class QLabel;
class QPushButton;
class QSlider;

// The classification panel: loads and saves distance tables, chooses how
// distances are measured, sets the link weight and shows the number of
// patches, which the view sends back after each classification. Apply
// starts a classification.
class QtMeshClassifierWidget : public QWidget {
    Q_OBJECT
public:
    explicit QtMeshClassifierWidget(Dialogs& dialogs, QWidget* parent = nullptr, const QString& name = "classifytab");

    int patch_threshold = 1;
    int current_patch = 0;
    float weight = 0.5f;
    int num_patches = 1;

    QPushButton* load_button = nullptr;
    QPushButton* save_button = nullptr;
    QPushButton* floyd_button = nullptr;
    QPushButton* dijkstra_button = nullptr;
    QLabel* patches_label = nullptr;
    QSlider* patches_slider = nullptr;
    QLabel* weight_label = nullptr;
    QSlider* weight_slider = nullptr;
    QPushButton* previous_button = nullptr;
    QPushButton* next_button = nullptr;
    QLabel* threshold_label = nullptr;
    QSlider* threshold_slider = nullptr;
    QPushButton* mark_button = nullptr;

    // What Apply does while this panel is the current page.
    void apply();
    // Sends the distance mode the panel shows, so the view starts with it.
    void announce_mode();

signals:
    void meshclassify_signal();
    void numpatches_signal(int n);
    void previouspatch_signal(int patch);
    void nextpatch_signal(int patch);
    void patchthresh_signal(int threshold);
    void weight_signal(float weight);
    void sp_mode_signal(int mode);
    void loadsp_signal(QString name);
    void savesp_signal(QString name);

public slots:
    void numbpatchesEvent(int n);
    void previousEvent();
    void nextEvent();
    void patchthreshEvent(int t);
    void weightEvent(int v);
    void floydEvent();
    void djikstraEvent();
    void loadEvent();
    void saveEvent();
    void markcurrentEvent();

private:
    Dialogs& dialogs;
};

// A table file name as chosen in a dialog: ".spt" is appended unless the
// fourth character from the end is a dot.
QString table_file_name(const QString& chosen);
