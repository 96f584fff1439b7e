#include "viewer/Icons.h"

#include <QFileInfo>
#include <QPixmap>

QIcon load_icon(const QString& name)
{
    for (const QString& path : {name, ":/halvane/" + name}) {
        if (!QFileInfo(path).isFile()) continue;
        QPixmap pixmap(path);
        if (!pixmap.isNull()) return QIcon(pixmap);
    }
    return QIcon();
}
