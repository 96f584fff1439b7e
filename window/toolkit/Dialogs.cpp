#include "toolkit/Dialogs.h"

#include <QDir>
#include <QFileInfo>

QString data_directory(const QString& name)
{
    const QDir here = QDir::current();
    QStringList folders{name};
    if (name == "\\Data" || name == "\\data") {
        // The spelling asked for first, then the other one.
        const QString first = name.mid(1);
        folders = {first, first == "Data" ? QString("data") : QString("Data")};
    }
    for (const QString& folder : folders)
        if (!folder.isEmpty() && QFileInfo(here.filePath(folder)).isDir())
            return QDir::cleanPath(here.absoluteFilePath(folder));
    return here.absolutePath();
}

QString with_extension(const QString& name, const QString& extension)
{
    if (name.size() >= 4 && name[name.size() - 4] == QLatin1Char('.')) return name;
    return name + extension;
}
