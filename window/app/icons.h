#pragma once

#include <QIcon>
#include <QString>

// An icon by its file name relative to the working directory ("fileopen.xpm",
// "icons/lights.png"). The file there wins; otherwise the copy built into
// the program; otherwise no icon.
QIcon load_icon(const QString& name);
