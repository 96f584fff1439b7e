// The terrain panel and its colour map editor on the offscreen platform,
// every dialog scripted.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "colouring/PngFile.h"
#include "colouring/QtMeshTerrainWidget.h"
#include "core/Mesh.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetFinder.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

using Sent = std::pair<std::vector<QColor>, std::vector<float>>;

const QColor black(0, 0, 0), white(255, 255, 255), red(255, 0, 0), blue(0, 0, 255);

class TerrainPanel : public ::testing::Test {
protected:
    TerrainPanel() : panel(dialogs, nullptr, "terraintab")
    {
        QObject::connect(&panel, &QtMeshTerrainWidget::build_vertexcolours_signal,
                         [this](std::vector<QColor> colours, std::vector<float> values) {
                             sent.emplace_back(colours, values);
                         });
    }

    // Answers the next entry dialog: optionally picks a colour, types a value, presses a button.
    void script_entry(const QString& value, const QString& press = "OK")
    {
        dialogs.dialog_scripts.push_back([value, press](QDialog& dialog) {
            if (!value.isNull()) dialog.findChild<QLineEdit*>()->setText(value);
            QTest::mouseClick(button(dialog, press), Qt::LeftButton);
        });
    }
    void script_pick()
    {
        dialogs.dialog_scripts.push_back(
            [](QDialog& dialog) { QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton); });
    }

    QStringList texts() const
    {
        QStringList out;
        for (int i = 0; i < panel.map_tree->topLevelItemCount(); ++i) out << panel.map_tree->topLevelItem(i)->text(1);
        return out;
    }

    QColor swatch(int i) const
    {
        const auto* label = qobject_cast<QLabel*>(panel.map_tree->itemWidget(panel.map_tree->topLevelItem(i), 0));
        return label ? label->pixmap().toImage().pixelColor(0, 0) : QColor();
    }

    ScriptedDialogs dialogs;
    QtMeshTerrainWidget panel;
    std::vector<Sent> sent;
    TempDir dir;
};

}  // namespace

TEST_F(TerrainPanel, AddsEditsAndDeletesKeepingTheMapInOrder)
{
    // Only inner entries go, and only after a Yes.
    for (int i : {0, 1}) {
        panel.map_tree->setCurrentItem(panel.map_tree->topLevelItem(i));
        EXPECT_EQ(printed([&] { panel.delcol_event(); }), "not allowed\n");
    }
    EXPECT_TRUE(dialogs.asked.empty());

    // A new entry starts black; the value typed places it.
    script_entry("0.5");
    QTest::mouseClick(button(panel, "add"), Qt::LeftButton);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent({black, black, white}, {0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "1.0"}));

    // Picking a colour does not close the dialog; closed unanswered, it adds nothing.
    script_pick();
    dialogs.colour_answers = {red};
    panel.addcol_event();
    EXPECT_EQ(dialogs.asked.back().initial, black);
    EXPECT_EQ(sent.size(), 1u);

    // A cancelled pick keeps the colour picked before it.
    dialogs.dialog_scripts.push_back([](QDialog& dialog) {
        QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "Pick a Colour"), Qt::LeftButton);
        dialog.findChild<QLineEdit*>()->setText("0.25");
        QTest::mouseClick(button(dialog, "OK"), Qt::LeftButton);
    });
    dialogs.colour_answers = {blue};
    panel.addcol_event();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], Sent({black, blue, black, white}, {0.0f, 0.25f, 0.5f, 1.0f}));
    EXPECT_EQ(swatch(1), blue);

    // Editing moves the entry to its new place; CANCEL changes nothing.
    script_entry("0.75");
    panel.itemDoubleClickedSlot(panel.map_tree->topLevelItem(1), 1);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], Sent({black, black, blue, white}, {0.0f, 0.5f, 0.75f, 1.0f}));
    script_entry("0.1", "CANCEL");
    panel.itemDoubleClickedSlot(panel.map_tree->topLevelItem(2), 1);
    EXPECT_EQ(sent.size(), 3u);

    panel.map_tree->setCurrentItem(panel.map_tree->topLevelItem(1));
    panel.delcol_event();  // answered No
    EXPECT_EQ(dialogs.asked.back().kind, "confirm");
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "0.75", "1.0"}));
    dialogs.confirm_answers = {true};
    QTest::mouseClick(button(panel, "del"), Qt::LeftButton);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[3], Sent({black, blue, white}, {0.0f, 0.75f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.75", "1.0"}));
}

TEST_F(TerrainPanel, SavesAndLoadsMapFiles)
{
    dialogs.file_answers = {QString::fromStdString(dir.file("default"))};
    QTest::mouseClick(button(panel, "Save"), Qt::LeftButton);
    EXPECT_EQ(slurp(dir.file("default.map")), "0\t0\t0\t0\n1\t255\t255\t255\n");

    dialogs.file_answers = {QString::fromStdString(dir.write("p.map", "0 10 20 30\n0.5 40 50\n1 255 255 255\n"))};
    printed([&] { QTest::mouseClick(button(panel, "Load"), Qt::LeftButton); });
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent({QColor(10, 20, 30), QColor(40, 50, 30), white}, {0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.5", "1.0"}));
    EXPECT_EQ(swatch(1), QColor(40, 50, 30));

    // A file without entries keeps the map; the tree and the view still follow it.
    dialogs.file_answers = {QString::fromStdString(dir.write("e.map", "nothing here\n"))};
    const std::string out = printed([&] { panel.load_event(); });
    EXPECT_NE(out.find("the colour map is unchanged"), std::string::npos) << out;
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], sent[0]);

    // A cancelled dialog rebuilds the tree and sends.
    panel.map_tree->clear();
    panel.load_event();
    EXPECT_EQ(sent.size(), 3u);
    EXPECT_EQ(texts().size(), 3);
}

TEST_F(TerrainPanel, HeightmapsAndApply)
{
    RgbaImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0, 0, 0, 255, 255, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(write_png(dir.file("h.png"), image, error));
    dialogs.file_answers = {QString::fromStdString(dir.file("h.png"))};
    QTest::mouseClick(button(panel, "Load Heightmap"), Qt::LeftButton);

    // Not a picture: the heightmap and preview stay.
    const QString text = QString::fromStdString(dir.write("t.png", "text"));
    dialogs.file_answers = {text};
    const std::string out = printed([&] { panel.heightmapload_event(); });
    EXPECT_EQ(out.rfind("ERROR: " + text.toStdString() + ": does not load as a PNG image", 0), 0u) << out;
    EXPECT_EQ(panel.heightmap.grey(255, 0), 255);
    EXPECT_EQ(panel.preview->pixmap().toImage().pixelColor(255, 0), white);

    Mesh mesh;
    panel.mesh = &mesh;
    panel.gridres_event(3);
    printed([&] { panel.apply_terrain(); });
    EXPECT_EQ(mesh.nv, 9);
    // Row 0, column 2 reads pixel 170 of the stretched picture.
    EXPECT_FLOAT_EQ(mesh.vertices[5].y, 64.0f * float(panel.heightmap.grey(170, 0)) / 256);
    EXPECT_GT(mesh.vertices[5].y, 40.0f);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Sent({black, white}, {0.0f, 1.0f}));
}
