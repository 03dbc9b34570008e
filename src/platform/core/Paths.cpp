#include "platform/core/Paths.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
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

namespace {

// The executable's folder as the system names it, in bytes.
QByteArray executableFolderBytes() {
    QByteArray path(4096, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), size_t(path.size()));
        if (length < 0) return {};
        if (length < path.size()) {
            path.truncate(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

QString findApplicationFolder() {
    const QByteArray bytes = executableFolderBytes();
    if (bytes.isEmpty()) return QCoreApplication::applicationDirPath();
    QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) == bytes) return name;
    // A name that is not valid UTF-8 (a Shift_JIS folder from an old archive) has no QString that leads back
    // to it; the folder is held open for the run and reached through the process's own view of it.
    const int folder = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return QCoreApplication::applicationDirPath();
    return QStringLiteral("/proc/self/fd/%1").arg(folder);
}

}  // namespace

QString applicationFolder() {
    static const QString folder = findApplicationFolder();
    return folder;
}

}  // namespace paths
