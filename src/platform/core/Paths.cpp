#include "platform/core/Paths.h"

#include <QCoreApplication>

namespace paths {

QString inFolder(const QString& folder, const QString& fileName) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))) return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QString applicationFolder() { return QCoreApplication::applicationDirPath(); }

}  // namespace paths
