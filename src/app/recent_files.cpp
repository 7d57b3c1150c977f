#include "app/recent_files.h"

#include <QFileInfo>

namespace tarnik {

RecentFiles::RecentFiles(const QStringList& stored)
{
    for (const QString& name : stored)
        if (!name.isEmpty() && !files_.contains(name) && files_.size() < kMaxFiles)
            files_ << name;
}

void RecentFiles::add(const QString& fileName)
{
    const QString path = QFileInfo(fileName).absoluteFilePath();
    files_.removeAll(path);
    files_.prepend(path);
    while (files_.size() > kMaxFiles)
        files_.removeLast();
}

void RecentFiles::remove(const QString& fileName)
{
    files_.removeAll(fileName);
}

}  // namespace tarnik
