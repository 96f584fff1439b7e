#pragma once

#include <QKeySequence>
#include <QMenu>
#include <QString>

class QIcon;

// A menu whose items carry integer identifiers. Choosing an item emits
// activated(id) from the menu, so one slot can serve a whole family of
// items (the render modes); command items connect their own action.
class Menu : public QMenu {
    Q_OBJECT
public:
    explicit Menu(QWidget* parent = nullptr);

    // Adds an item with the given identifier (-1: the next free one, counting
    // down from -2) and returns the identifier.
    int insert_item(const QString& text, int id = -1);
    // Adds a command item; the caller connects the returned action.
    QAction* insert_command(const QIcon& icon, const QString& text, const QKeySequence& shortcut = {});
    QAction* insert_command(const QString& text, const QKeySequence& shortcut = {});

    // Identifier of an item, or -1 when the action is not one of ours.
    int item_id(const QAction* action) const;
    // The item with the identifier, or nullptr.
    QAction* item(int id) const;

signals:
    void activated(int id);

private:
    int next_auto_id = -2;
};
