#include "cli/CliPaths.h"

#include "platform/core/Paths.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>

namespace cli {
namespace {

const QString kHeldPrefix = QStringLiteral("/proc/self/fd/");

// The current folder held open for the run when its name does not survive a QString; empty otherwise.
QString heldCurrentFolder() {
    QByteArray bytes(4096, '\0');
    while (!::getcwd(bytes.data(), size_t(bytes.size()))) {
        if (errno != ERANGE) return {};
        bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(qsizetype(qstrlen(bytes.constData())));
    if (QFile::encodeName(QFile::decodeName(bytes)) == bytes) return {};
    const int folder = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folder < 0 ? QString() : kHeldPrefix + QString::number(folder);
}

}  // namespace

QString argumentPath(const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path)) return path;
    static const QString held = heldCurrentFolder();
    return held.isEmpty() ? path : paths::inFolder(held, path);
}

QString shownPath(const QString& path) {
    if (!path.startsWith(kHeldPrefix)) return QDir::toNativeSeparators(path);
    const qsizetype end = path.indexOf(u'/', kHeldPrefix.size());
    const QString link = end < 0 ? path : path.left(end);
    QByteArray target(4096, '\0');
    const ssize_t length =
        ::readlink(QFile::encodeName(link).constData(), target.data(), size_t(target.size()));
    if (length <= 0 || length >= target.size()) return QDir::toNativeSeparators(path);
    target.truncate(length);
    return QDir::toNativeSeparators(QString::fromUtf8(target) + (end < 0 ? QString() : path.mid(end)));
}

}  // namespace cli
