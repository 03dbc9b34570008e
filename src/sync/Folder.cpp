#include "sync/Folder.h"

#include "platform/core/AtomicFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>

namespace syncing {
namespace {

const QString kJournalSuffix = QStringLiteral(".journal");

QString systemError(int error) { return QString::fromLocal8Bit(strerror(error)); }

Failure failure(const QString& what, int error) {
    return Failure{what + QStringLiteral("\r") + systemError(error), 0};
}

// The length of the whole header and frames of the open journal of size bytes (-1 with errno set when it
// cannot be read).
qint64 wholeLength(int fd, qint64 size) {
    if (size < kJournalHeaderSize) return 0;
    void* map = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) return -1;
    const qint64 end = wholeFramesEnd(QByteArrayView(static_cast<const char*>(map), qsizetype(size)));
    ::munmap(map, size_t(size));
    return end;
}

}  // namespace

Folder::Folder(QString root) : root_(std::move(root)) {}

QString Folder::journals() const { return QDir(root_).filePath(QStringLiteral("Selvane")); }

QString Folder::journalOf(const ComputerId& id) const {
    return QDir(journals()).filePath(idText(id) + kJournalSuffix);
}

bool Folder::exists() const { return QFileInfo(root_).isDir(); }

Result<void> Folder::append(const JournalHeader& header, const std::vector<QByteArray>& bodies) const {
    if (!exists()) return Failure{QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません。"), 0};
    if (!QDir().mkpath(journals())) return Failure{QStringLiteral("同期ﾌｫﾙﾀﾞに書き込めません。"), 0};
    const QByteArray path = QFile::encodeName(journalOf(header.origin));
    const int fd = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return failure(QStringLiteral("同期の記録を書き込めません。"), errno);
    // What an append cut short left (a torn frame, or a torn header) is cut off first: its records were never
    // noted as written, so this append carries them again.
    struct stat info {};
    const qint64 whole = ::fstat(fd, &info) == 0 ? wholeLength(fd, info.st_size) : -1;
    if (whole < 0 || (whole < info.st_size && ::ftruncate(fd, whole) != 0)) {
        const int error = errno;
        ::close(fd);
        return failure(QStringLiteral("同期の記録を書き込めません。"), error);
    }
    QByteArray bytes;
    if (whole == 0) bytes = headerBytes(header);
    for (const QByteArray& body : bodies) bytes += frame(body);
    // One write: a reader meets the frames whole or a torn end it waits on, never a gap.
    qsizetype at = 0;
    while (at < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int error = errno;
            ::close(fd);
            return failure(QStringLiteral("同期の記録を書き込めません。"), error);
        }
        at += written;
    }
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced) return failure(QStringLiteral("同期の記録を書き込めません。"), error);
    return {};
}

Result<void> Folder::rewrite(const JournalHeader& header, const std::vector<QByteArray>& bodies) const {
    QByteArray bytes = headerBytes(header);
    for (const QByteArray& body : bodies) bytes += frame(body);
    const QString error = AtomicFile::replace(journalOf(header.origin), bytes);
    if (!error.isEmpty()) return Failure{QStringLiteral("同期の記録を書き直せません。\r") + error, 0};
    return {};
}

qint64 Folder::sizeOf(const ComputerId& id) const { return QFileInfo(journalOf(id)).size(); }

Folder::Listing Folder::list(const ComputerId& self) const {
    Listing listing;
    const QDir dir(journals());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (name.contains(QStringLiteral(".sync-conflict-"))) {
            listing.conflictCopies.append(dir.filePath(name));
            continue;
        }
        if (!name.endsWith(kJournalSuffix)) continue;
        const auto id = idFromText(QStringView(name).chopped(kJournalSuffix.size()));
        if (!id) {
            listing.strays.append(dir.filePath(name));
            continue;
        }
        if (*id != self) listing.journals.emplace_back(*id, dir.filePath(name));
    }
    return listing;
}

Folder::Reading Folder::read(const QString& path, const DataFile::SyncPosition& from,
                             const Sealer* sealer) const {
    Reading reading;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reading.fault = HeaderFault::NotAJournal;
        return reading;
    }
    reading.fault = readHeader(file.read(kJournalHeaderSize), &reading.header);
    if (reading.fault != HeaderFault::None) return reading;
    // Rewritten by its owner (or cut short): read again from the start; records known already count once.
    qint64 offset = from.offset;
    if (qint64(reading.header.generation) != from.generation || offset > file.size() ||
        offset < kJournalHeaderSize)
        offset = kJournalHeaderSize;
    // Only what was appended since the last read.
    if (!file.seek(offset)) {
        reading.fault = HeaderFault::NotAJournal;
        return reading;
    }
    // (The scan counts from the end of a header: the appended bytes stand where one would.)
    QByteArray appended(kJournalHeaderSize, '\0');
    appended += file.readAll();
    FrameScan scan = scanFrames(appended, kJournalHeaderSize);
    scan.end += offset - kJournalHeaderSize;
    reading.damaged = scan.damaged;
    reading.end = {qint64(reading.header.generation), qint64(scan.end)};
    for (const QByteArray& body : scan.bodies) {
        if (!reading.header.sealed) {
            reading.bodies.push_back(body);
            continue;
        }
        std::optional<QByteArray> opened = sealer ? sealer->open(body, reading.header.origin) : std::nullopt;
        if (!opened) {
            reading.unopened = true;
            reading.bodies.clear();
            reading.end = from;  // nothing read: the same place next time, with the right key
            return reading;
        }
        reading.bodies.push_back(std::move(*opened));
    }
    return reading;
}

}  // namespace syncing
