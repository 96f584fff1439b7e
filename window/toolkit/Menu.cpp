#include "toolkit/Menu.h"

#include <QAction>
#include <QIcon>

namespace {
const char* const id_property = "menu_item_id";
}

Menu::Menu(QWidget* parent) : QMenu(parent)
{
    connect(this, &QMenu::triggered, this, [this](QAction* action) {
        const QVariant id = action->property(id_property);
        if (id.isValid()) emit activated(id.toInt());
    });
}

int Menu::insert_item(const QString& text, int id)
{
    if (id == -1) id = next_auto_id--;
    QAction* action = addAction(text);
    action->setProperty(id_property, id);
    return id;
}

QAction* Menu::insert_command(const QIcon& icon, const QString& text, const QKeySequence& shortcut)
{
    QAction* action = addAction(icon, text);
    action->setShortcut(shortcut);
    return action;
}

QAction* Menu::insert_command(const QString& text, const QKeySequence& shortcut)
{
    return insert_command(QIcon(), text, shortcut);
}

int Menu::item_id(const QAction* action) const
{
    const QVariant id = action ? action->property(id_property) : QVariant();
    return id.isValid() ? id.toInt() : -1;
}

QAction* Menu::item(int id) const
{
    for (QAction* action : actions())
        if (item_id(action) == id && action->property(id_property).isValid()) return action;
    return nullptr;
}
