#include "app/icons.h"

#include <QFileInfo>
#include <QPixmap>

// The built-in copies live in a static library, where nothing else would
// make the linker keep them.
static void init_icon_resources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon load_icon(const QString& name)
{
    static const bool resources_ready = (init_icon_resources(), true);
    (void)resources_ready;
    for (const QString& path : {name, ":/halvane/" + name}) {
        if (!QFileInfo(path).isFile()) continue;
        QPixmap pixmap(path);
        if (!pixmap.isNull()) return QIcon(pixmap);
    }
    return QIcon();
}
