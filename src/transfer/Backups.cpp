#include "transfer/Backups.h"

#include "data/SqliteHeader.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <set>

namespace transfer {
namespace {

const char* const kReasons[] = {"save", "purge", "import", "restore", "manual"};
const QString kFolderName = QStringLiteral("backups");
// "selvane-20240503-101500-import.mdb", "selvane-20240503-101500-import-2.mdb": the time made and the reason.
const QString kNamePattern =
    QStringLiteral("selvane-(\\d{8}-\\d{6})-(save|purge|import|restore|manual)(?:-\\d+)?\\.mdb");
// A plain backup while it is written; a sealed one is written as ".<its name>.XXXXXX" (AtomicFile).
const QString kPartialName = QStringLiteral(".selvane.mdb-backup.");

[[noreturn]] void fail(const QString& why) { throw PgError::engine(why); }

void ensureFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟのﾌｫﾙﾀﾞを作れません。"));
    ::chmod(QFile::encodeName(folder).constData(), 0700);  // her copies are for her eyes only
}

QString freePath(const QString& folder, const QDateTime& now, BackupReason reason) {
    const QString name = backupFileName(now, reason);
    QString path = QDir(folder).filePath(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(
            QString(name).replace(QStringLiteral(".mdb"), QStringLiteral("-%1.mdb").arg(n)));
    return path;
}

// Sets the header of a copy written through fd to rollback-journal mode.
bool setRollbackMode(int fd) {
    unsigned char header[20];
    if (::pread(fd, header, sizeof header, 0) != ssize_t(sizeof header)) return false;
    toRollbackMode(header, sizeof header);
    return ::pwrite(fd, header + 18, 2, 18) == 2;
}

// Whether a backup passes the check; a sealed one only when it opens with the diary's key.
bool passes(DataFile& db, const QString& path, const SealedReader& sealed) {
    try {
        if (const auto opened = sealed ? sealed(db, path, false) : nullptr) return opened->inspect().ok();
    } catch (const PgError&) {
        return false;
    }
    return DataFile::inspectFile(path).ok();
}

}  // namespace

QString backupFolderBeside(const QString& dataPath) {
    return QDir(QFileInfo(dataPath).absolutePath()).filePath(kFolderName);
}

QString backupFileName(const QDateTime& made, BackupReason reason) {
    return QStringLiteral("selvane-%1-%2.mdb")
        .arg(made.toString(QStringLiteral("yyyyMMdd-HHmmss")), QLatin1String(kReasons[int(reason)]));
}

std::optional<Backup> parseBackup(const QString& path) {
    static const QRegularExpression pattern(u'^' + kNamePattern + u'$');
    const QRegularExpressionMatch match = pattern.match(QFileInfo(path).fileName());
    if (!match.hasMatch()) return std::nullopt;
    Backup entry;
    entry.path = path;
    entry.made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    if (!entry.made.isValid()) return std::nullopt;
    entry.reason = BackupReason(std::find(std::begin(kReasons), std::end(kReasons), match.captured(2)) -
                                std::begin(kReasons));
    return entry;
}

std::vector<Backup> listBackups(const QString& folder) {
    std::vector<Backup> entries;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("selvane-*.mdb")}, QDir::Files))
        if (auto entry = parseBackup(dir.filePath(name))) entries.push_back(*entry);
    std::stable_sort(entries.begin(), entries.end(), [](const Backup& a, const Backup& b) {
        return a.made != b.made ? a.made > b.made : a.path > b.path;
    });
    return entries;
}

QString reasonText(BackupReason reason) {
    switch (reason) {
        case BackupReason::Save:
            return QStringLiteral("その日最初の登録の後");  // made once the day's first save is written
        case BackupReason::Purge:
            return QStringLiteral("ﾒﾝﾃﾅﾝｽの前");
        case BackupReason::Import:
            return QStringLiteral("読み込みの前");
        case BackupReason::Restore:
            return QStringLiteral("戻す前");
        case BackupReason::Manual:
            return QStringLiteral("手動");
    }
    return {};
}

namespace {

QString makeOrThrow(DataFile& db, const QString& folder, BackupReason reason, const QDateTime& now,
                    const DataFile::Progress& progress) {
    ensureFolder(folder);
    removeStaleBackups(folder);
    QString path = freePath(folder, now, reason);
    if (DiaryStore* store = db.store()) {
        // A locked diary is copied sealed, as it lies on disk: never a plain copy of it.
        store->writeCopy(db.image(), path);
        return path;
    }
    // A name of our own that a later sweep knows; the lock, held until the rename, tells a live writer's.
    QByteArray temp = QFile::encodeName(QDir(folder).filePath(kPartialName + QStringLiteral("XXXXXX")));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // owner-only
    if (fd < 0)
        fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + systemtext::inJapanese(qt_error_string(errno)));
    ::flock(fd, LOCK_EX | LOCK_NB);
    struct Leftover {
        QByteArray path;
        int fd;
        ~Leftover() {
            if (!path.isEmpty()) ::unlink(path.constData());
            ::close(fd);
        }
    } leftover{temp, fd};
    db.copyInto(QFile::decodeName(temp), progress);
    // The online backup copies the diary's first page as it is, a header asking for write-ahead logging too.
    if (!setRollbackMode(fd) || ::fsync(fd) != 0 ||
        ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + systemtext::inJapanese(qt_error_string(errno)));
    leftover.path.clear();
    syncFolder(folder);
    return path;
}

}  // namespace

Result<QString> makeBackup(DataFile& db, const QString& folder, BackupReason reason, const QDateTime& now,
                           const DataFile::Progress& progress) {
    return attempt([&] { return makeOrThrow(db, folder, reason, now, progress); });
}

std::vector<size_t> backupsToDelete(const std::vector<QDateTime>& made, const QDate& today, int newestGood) {
    std::set<QDate> days;
    for (const QDateTime& when : made) days.insert(when.date());
    std::set<QDate> lastDays;
    for (auto it = days.rbegin(); it != days.rend() && lastDays.size() < 7; ++it) lastDays.insert(*it);
    const int thisMonth = today.year() * 12 + today.month() - 1;
    std::set<int> monthsTaken;
    std::vector<size_t> doomed;
    // made is newest first, so the first one met in a month is that month's last backup.
    for (size_t i = 0; i < made.size(); ++i) {
        const QDate day = made[i].date();
        const int month = day.year() * 12 + day.month() - 1;
        const bool monthly = thisMonth - month < 12 && monthsTaken.insert(month).second;
        if (int(i) == newestGood || day > today || lastDays.count(day) || monthly) continue;
        doomed.push_back(i);
    }
    return doomed;
}

int rotateBackups(DataFile& db, const QString& folder, const QDate& today, const SealedReader& sealed) {
    const std::vector<Backup> entries = listBackups(folder);
    std::vector<QDateTime> made;
    made.reserve(entries.size());
    for (const Backup& entry : entries) made.push_back(entry.made);
    std::vector<size_t> doomed = backupsToDelete(made, today, -1);
    if (doomed.empty()) return 0;
    // Only now is it worth opening backups: the newest one that passes the check stays, whatever its age.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!passes(db, entries[i].path, sealed)) continue;
        doomed = backupsToDelete(made, today, int(i));
        break;
    }
    int removed = 0;
    for (size_t i : doomed) removed += QFile::remove(entries[i].path) ? 1 : 0;
    if (removed) syncFolder(folder);
    return removed;
}

int removeStaleBackups(const QString& folder) {
    static const QRegularExpression partial(
        QStringLiteral("^(?:") + QRegularExpression::escape(kPartialName) + QStringLiteral("|\\.") +
        kNamePattern + QStringLiteral("\\.)[A-Za-z0-9]{6}$"));
    return AtomicFile::removeStaleIn(folder, partial);
}

bool backupMadeOn(const QString& folder, const QDate& day, BackupReason reason) {
    const QString prefix = QStringLiteral("selvane-") + day.toString(QStringLiteral("yyyyMMdd")) + u'-';
    for (const QString& name : QDir(folder).entryList({prefix + QStringLiteral("*.mdb")}, QDir::Files)) {
        const auto entry = parseBackup(name);
        if (entry && entry->reason == reason) return true;
    }
    return false;
}

Result<QString> backUp(DataFile& db, const QString& dataPath, const QString& folder, BackupReason reason,
                       const QDateTime& now, const DataFile::Progress& progress, const SealedReader& sealed) {
    return attempt([&] {
        const QString target = folder.isEmpty() ? backupFolderBeside(dataPath) : folder;
        QString path = makeOrThrow(db, target, reason, now, progress);
        // Only her own folder of backups is kept in order: a copy elsewhere is hers to keep.
        if (folder.isEmpty()) rotateBackups(db, target, now.date(), sealed);
        return path;
    });
}

Result<void> restoreBackup(DataFile& db, const QString& backupPath, const QString& folder,
                           const QDateTime& now, const DataFile::Progress& progress,
                           const SealedReader& sealed) {
    return attempt([&] {
        // A sealed backup is opened in memory first; what does not open is refused before anything is
        // written.
        std::unique_ptr<DataFile> source = sealed ? sealed(db, backupPath, true) : nullptr;
        Result<DiarySpan> chosen = Failure{};
        if (source) {
            chosen = source->inspect();
        } else if (Result<std::unique_ptr<DataFile>> copy = DataFile::openCopy(backupPath); !copy) {
            chosen = copy.failure();
        } else {
            source = std::move(copy).value();
            chosen = source->inspect();
        }
        if (!chosen) fail(QStringLiteral("このﾊﾞｯｸｱｯﾌﾟからは戻せません。\r") + chosen.message());
        makeOrThrow(db, folder, BackupReason::Restore, now, {});
        db.restoreFrom(*source, progress);
    });
}

}  // namespace transfer
