#include "platform/core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    error_ = qt_error_string(error);
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

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
