#include "sync/FolderSalt.h"

#include <QDir>
#include <QFileInfo>

namespace syncing {

QString saltPath(const QString& root) { return QDir(root).filePath(QStringLiteral("Selvane/salt")); }

// Any file there counts, even a damaged one: the journals beside it may be sealed all the same.
bool isSealed(const QString& root) { return QFileInfo::exists(saltPath(root)); }

}  // namespace syncing
