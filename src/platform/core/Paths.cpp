#include "platform/core/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace paths {

QString inFolder(const QString& folder, const QString& fileName) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString applicationFolder() { return QCoreApplication::applicationDirPath(); }

}  // namespace paths
