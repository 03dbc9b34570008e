#include "platform/core/AtomicFile.h"
#include "platform/core/SystemText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype kBufferSize = qsizetype(256) * 1024;

// A path that is a link writes through to its target, as she sees it in her file manager.
QString resolved(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) return info.symLinkTarget();
    return path;
}

}  // namespace

AtomicFile::AtomicFile(const QString& path, unsigned mode) : path_(resolved(path)), mode_(mode) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(int error) {
    error_ = systemtext::inJapanese(qt_error_string(error));
    discard();
    return false;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty()) ::unlink(temp_.constData());
    temp_.clear();
    buffer_.clear();
}

bool AtomicFile::open() {
    discard();
    error_.clear();
    const QFileInfo target(path_);
    if (target.isDir()) return fail(EISDIR);
    QByteArray name = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                        QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);  // made owner-only by the system
    if (fd < 0) return fail(errno);
    // Held while the file is written: a lock nobody holds marks a temporary file whose writer is gone.
    ::flock(fd, LOCK_EX | LOCK_NB);
    fd_ = fd;
    temp_ = name;
    if (::fchmod(fd_, mode_) != 0) return fail(errno);
    buffer_.reserve(kBufferSize);
    return true;
}

bool AtomicFile::write(const char* data, qint64 size) {
    if (fd_ < 0) return false;
    if (buffer_.size() + size > kBufferSize && !flush()) return false;
    if (size >= kBufferSize) {
        buffer_ = QByteArray::fromRawData(data, size);
        const bool ok = flush();
        buffer_ = QByteArray();
        buffer_.reserve(kBufferSize);
        return ok;
    }
    buffer_.append(data, size);
    return true;
}

bool AtomicFile::flush() {
    const char* data = buffer_.constData();
    qint64 left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (written == 0) return fail(ENOSPC);
        data += written;
        left -= written;
    }
    buffer_.resize(0);
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (!flush()) return false;
    if (::fsync(fd_) != 0) return fail(errno);
    // The lock stays through the rename on a duplicate, so no sweep takes the file from under it.
    struct Held {
        int fd;
        ~Held() {
            if (fd >= 0) ::close(fd);
        }
    } held{::dup(fd_)};
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temp_.constData(), QFile::encodeName(path_).constData()) != 0) return fail(errno);
    temp_.clear();
    // The rename is done; a folder that cannot be synced does not undo it.
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

QString AtomicFile::replace(const QString& path, const QByteArray& bytes, unsigned mode) {
    AtomicFile file(path, mode);
    if (file.open() && file.write(bytes) && file.commit()) return QString();
    return file.errorString();
}

int AtomicFile::removeStale(const QString& path) {
    const QFileInfo target(resolved(path));
    // Exactly the names open() makes: a dot, the target's name, a dot and mkostemp's six characters.
    return removeStaleIn(
        target.absolutePath(),
        QRegularExpression(QStringLiteral("^\\.") + QRegularExpression::escape(target.fileName()) +
                           QStringLiteral("\\.[A-Za-z0-9]{6}$")));
}

int AtomicFile::removeStaleIn(const QString& folder, const QRegularExpression& names) {
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!names.match(name).hasMatch()) continue;
        const QByteArray file = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat there {};
        // A writer still at work holds its lock; the name must still be the file just locked.
        const bool stale = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                           opened.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                           ::lstat(file.constData(), &there) == 0 && there.st_dev == opened.st_dev &&
                           there.st_ino == opened.st_ino;
        if (stale && ::unlink(file.constData()) == 0) ++removed;
        ::close(fd);
    }
    if (removed > 0) syncFolder(dir.absolutePath());
    return removed;
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
