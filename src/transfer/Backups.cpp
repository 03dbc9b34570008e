#include "transfer/Backups.h"

#include "data/SqliteHeader.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <set>

namespace backups {
namespace {

const char* const kReasons[] = {"save", "purge", "import", "restore", "manual"};
const QString kFolderName = QStringLiteral("backups");
// "selvane-20240503-101500-import.mdb", "selvane-20240503-101500-import-2.mdb": the time made and the reason.
const QString kNamePattern =
    QStringLiteral("selvane-(\\d{8}-\\d{6})-(save|purge|import|restore|manual)(?:-\\d+)?\\.mdb");
// A plain backup while it is written; a sealed one is written as ".<its name>.XXXXXX" (AtomicFile).
const QString kPartialName = QStringLiteral(".selvane.mdb-backup.");

[[noreturn]] void fail(const QString& why) { throw PgError::engine(why); }

// An SQLite connection closed on every path.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close(db); }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }
};

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void ensureFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟのﾌｫﾙﾀﾞを作れません。"));
    ::chmod(QFile::encodeName(folder).constData(), 0700);  // her copies are for her eyes only
}

QString freePath(const QString& folder, const QDateTime& now, Reason reason) {
    const QString name = fileName(now, reason);
    QString path = QDir(folder).filePath(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(
            QString(name).replace(QStringLiteral(".mdb"), QStringLiteral("-%1.mdb").arg(n)));
    return path;
}

// The rows of a query, each as texts (Null as an empty one); false when the engine refuses it.
bool query(sqlite3* db, const char* sql, std::vector<QStringList>* rows) {
    rows->clear();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) return false;
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i))));
        rows->push_back(row);
    }
    sqlite3_finalize(stmt);
    return step == SQLITE_DONE;
}

// An SQL text compared by its words only: without spaces, quotes around names, or case.
QString bare(QString sql) {
    sql.remove(QRegularExpression(QStringLiteral("[\\s\"`]")));
    return sql.toUpper();
}

// Why DATA_FIL is not the diary's own table, or nothing when it is: a table (never a view), its columns with
// their names and types, DAT_DATE never Null, the engine's type checks (STRICT) and the checks on the date
// and the two flags. What the rows hold is not judged: a day twice, or a day no calendar has, as another tool
// may have written them, goes back like any other.
QString tableProblem(sqlite3* db) {
    static const QStringList kColumns = {
        QStringLiteral("DAT_DATE TEXT 1"), QStringLiteral("TEMP REAL 0"),      QStringLiteral("MEMO TEXT 0"),
        QStringLiteral("SCHEDULE TEXT 0"), QStringLiteral("CONDITION TEXT 0"), QStringLiteral("DIARY TEXT 0"),
        QStringLiteral("LOVE INTEGER 0"),  QStringLiteral("GUEST INTEGER 0")};
    static const QStringList kChecks = {
        bare(QStringLiteral("CHECK (DAT_DATE GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')")),
        bare(QStringLiteral("CHECK (LOVE IN (0, 1))")), bare(QStringLiteral("CHECK (GUEST IN (0, 1))"))};
    const QString table = QStringLiteral("日記の表（DATA_FIL）");
    std::vector<QStringList> found;
    if (!query(db, "SELECT type, strict FROM pragma_table_list('DATA_FIL') WHERE schema = 'main'", &found) ||
        found.size() != 1 || found[0].value(0) != QLatin1String("table"))
        return table + QStringLiteral("とその列がありません。");
    const bool strict = found[0].value(1) == u'1';
    QStringList columns;
    if (query(db,
              "SELECT upper(name || ' ' || type || ' ' || \"notnull\") FROM pragma_table_xinfo('DATA_FIL')",
              &found))
        for (const QStringList& row : found) columns.append(row.value(0));
    if (columns != kColumns) return table + QStringLiteral("とその列がありません。");
    if (!strict) return table + QStringLiteral("に型の検査（STRICT）がありません。");
    const QString sql = query(db,
                              "SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = 'DATA_FIL'"
                              " COLLATE NOCASE",
                              &found) &&
                                !found.empty()
                            ? bare(found[0].value(0))
                            : QString();
    for (const QString& check : kChecks)
        if (!sql.contains(check)) return table + QStringLiteral("に値の検査（CHECK）がありません。");
    return QString();
}

// Opens a backup for reading and leaves nothing beside it: a file whose header asks for write-ahead logging
// would otherwise get -wal and -shm files. Only where a -wal file with changes lies beside it already is it
// read through SQLite's locks, so that those changes count.
bool openForReading(const QString& path, Connection* copy) {
    if (!QFileInfo(path).isFile()) return false;
    const bool pending = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    const QByteArray uri = "file:" + QFile::encodeName(path).toPercentEncoding("/") +
                           (pending ? QByteArray() : QByteArray("?immutable=1"));
    return sqlite3_open_v2(uri.constData(), &copy->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
           SQLITE_OK;
}

// The backup as a private in-memory database in rollback-journal mode, so that it is inspected and restored
// from the same bytes. Empty, and the reason in problem, when it cannot be read.
void readIntoMemory(const QString& path, Connection* memory, QString* problem) {
    Connection file;
    if (!openForReading(path, &file)) {
        *problem = QStringLiteral("ﾌｧｲﾙを開けません。");
        return;
    }
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(file.db, "main", &size, 0);
    if (!bytes) {
        *problem = QStringLiteral("ﾌｧｲﾙを読めません。") + file.error();
        return;
    }
    toRollbackMode(bytes, size);
    // The engine frees the bytes itself, on close or when it refuses them.
    if (sqlite3_open_v2(":memory:", &memory->db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_deserialize(memory->db, "main", bytes, size, size,
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE) != SQLITE_OK)
        *problem = QStringLiteral("ﾌｧｲﾙを読めません。") + memory->error();
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
        if (const auto opened = sealed ? sealed(db, path, false) : nullptr)
            return inspect(opened->handle()).ok;
    } catch (const PgError&) {
        return false;
    }
    return inspect(path).ok;
}

}  // namespace

QString folderBeside(const QString& dataPath) {
    return QDir(QFileInfo(dataPath).absolutePath()).filePath(kFolderName);
}

QString fileName(const QDateTime& made, Reason reason) {
    return QStringLiteral("selvane-%1-%2.mdb")
        .arg(made.toString(QStringLiteral("yyyyMMdd-HHmmss")), QLatin1String(kReasons[int(reason)]));
}

std::optional<Entry> parse(const QString& path) {
    static const QRegularExpression pattern(u'^' + kNamePattern + u'$');
    const QRegularExpressionMatch match = pattern.match(QFileInfo(path).fileName());
    if (!match.hasMatch()) return std::nullopt;
    Entry entry;
    entry.path = path;
    entry.made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    if (!entry.made.isValid()) return std::nullopt;
    entry.reason =
        Reason(std::find(std::begin(kReasons), std::end(kReasons), match.captured(2)) - std::begin(kReasons));
    return entry;
}

std::vector<Entry> list(const QString& folder) {
    std::vector<Entry> entries;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("selvane-*.mdb")}, QDir::Files))
        if (auto entry = parse(dir.filePath(name))) entries.push_back(*entry);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.made != b.made ? a.made > b.made : a.path > b.path;
    });
    return entries;
}

QString reasonText(Reason reason) {
    switch (reason) {
        case Reason::Save:
            return QStringLiteral("その日最初の登録");
        case Reason::Purge:
            return QStringLiteral("ﾒﾝﾃﾅﾝｽの前");
        case Reason::Import:
            return QStringLiteral("読み込みの前");
        case Reason::Restore:
            return QStringLiteral("戻す前");
        case Reason::Manual:
            return QStringLiteral("手動");
    }
    return {};
}

QString make(DataFile& db, const QString& folder, Reason reason, const QDateTime& now,
             const DataFile::Progress& progress) {
    ensureFolder(folder);
    removeStale(folder);
    QString path = freePath(folder, now, reason);
    if (DiaryStore* store = db.store()) {
        // A locked diary is copied sealed, as it lies on disk: never a plain copy of it.
        QSqlDatabase connection = db.connection();
        store->writeCopy(connection, path);
        return path;
    }
    // A name of our own that a later sweep knows; the lock, held until the rename, tells a live writer's.
    QByteArray temp = QFile::encodeName(QDir(folder).filePath(kPartialName + QStringLiteral("XXXXXX")));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // owner-only
    if (fd < 0) fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + qt_error_string(errno));
    ::flock(fd, LOCK_EX | LOCK_NB);
    struct Leftover {
        QByteArray path;
        int fd;
        ~Leftover() {
            if (!path.isEmpty()) ::unlink(path.constData());
            ::close(fd);
        }
    } leftover{temp, fd};
    QString error;
    {
        Connection copy;
        if (sqlite3_open_v2(temp.constData(), &copy.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail(copy.error());
        // A copy no one reads until it is whole needs no journal: it is synced and renamed into place below.
        exec(copy.db, "PRAGMA journal_mode = OFF");
        exec(copy.db, "PRAGMA synchronous = OFF");
        sqlite3_backup* backup = sqlite3_backup_init(copy.db, "main", db.handle(), "main");
        if (!backup) fail(copy.error());
        int step;
        while ((step = sqlite3_backup_step(backup, 8192)) == SQLITE_OK)
            if (progress)
                progress(sqlite3_backup_pagecount(backup) - sqlite3_backup_remaining(backup),
                         sqlite3_backup_pagecount(backup));
        const int finished = sqlite3_backup_finish(backup);
        if (step != SQLITE_DONE || finished != SQLITE_OK) error = copy.error();
        if (error.isEmpty() && sqlite3_close(copy.db) != SQLITE_OK) error = copy.error();
        if (error.isEmpty()) copy.db = nullptr;
    }
    if (!error.isEmpty()) fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + error);
    // The online backup copies the diary's first page as it is, a header asking for write-ahead logging too.
    if (!setRollbackMode(fd) || ::fsync(fd) != 0 ||
        ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        fail(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + qt_error_string(errno));
    leftover.path.clear();
    syncFolder(folder);
    return path;
}

Inspection inspect(const QString& path, bool thorough) {
    Connection copy;
    if (!openForReading(path, &copy)) {
        Inspection result;
        result.problem = QStringLiteral("ﾌｧｲﾙを開けません。");
        return result;
    }
    return inspect(copy.db, thorough);
}

Inspection inspect(sqlite3* db, bool thorough) {
    Inspection result;
    std::vector<QStringList> found;
    if (thorough) {
        const bool read = query(db, "PRAGMA integrity_check", &found) && !found.empty();
        if (!read || found[0].value(0) != QLatin1String("ok")) {
            result.problem = QStringLiteral("整合性の検査に通りません。") +
                             (read ? found[0].value(0) : QString::fromUtf8(sqlite3_errmsg(db)));
            return result;
        }
    }
    result.problem = tableProblem(db);
    if (!result.problem.isEmpty()) return result;
    if (!query(db, "SELECT COUNT(*), MIN(DAT_DATE), MAX(DAT_DATE) FROM DATA_FIL", &found) || found.empty()) {
        result.problem = QString::fromUtf8(sqlite3_errmsg(db));
        return result;
    }
    result.days = found[0].value(0).toLongLong();
    result.firstDay = found[0].value(1);
    result.lastDay = found[0].value(2);
    result.ok = true;
    return result;
}

std::vector<size_t> toDelete(const std::vector<QDateTime>& made, const QDate& today, int newestGood) {
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

int rotate(DataFile& db, const QString& folder, const QDate& today, const SealedReader& sealed) {
    const std::vector<Entry> entries = list(folder);
    std::vector<QDateTime> made;
    made.reserve(entries.size());
    for (const Entry& entry : entries) made.push_back(entry.made);
    std::vector<size_t> doomed = toDelete(made, today, -1);
    if (doomed.empty()) return 0;
    // Only now is it worth opening backups: the newest one that passes the check stays, whatever its age.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!passes(db, entries[i].path, sealed)) continue;
        doomed = toDelete(made, today, int(i));
        break;
    }
    int removed = 0;
    for (size_t i : doomed) removed += QFile::remove(entries[i].path) ? 1 : 0;
    if (removed) syncFolder(folder);
    return removed;
}

int removeStale(const QString& folder) {
    static const QRegularExpression partial(
        QStringLiteral("^(?:") + QRegularExpression::escape(kPartialName) + QStringLiteral("|\\.") +
        kNamePattern + QStringLiteral("\\.)[A-Za-z0-9]{6}$"));
    return AtomicFile::removeStaleIn(folder, partial);
}

bool madeOn(const QString& folder, const QDate& day, Reason reason) {
    const QString prefix = QStringLiteral("selvane-") + day.toString(QStringLiteral("yyyyMMdd")) + u'-';
    for (const QString& name : QDir(folder).entryList({prefix + QStringLiteral("*.mdb")}, QDir::Files)) {
        const auto entry = parse(name);
        if (entry && entry->reason == reason) return true;
    }
    return false;
}

void restore(DataFile& db, const QString& backupPath, const QString& folder, const QDateTime& now,
             const DataFile::Progress& progress, const SealedReader& sealed) {
    // A sealed backup is opened in memory first; what does not open is refused before anything is written.
    const std::unique_ptr<DataFile> opened = sealed ? sealed(db, backupPath, true) : nullptr;
    Connection copy;
    QString problem;
    if (!opened) readIntoMemory(backupPath, &copy, &problem);
    sqlite3* source = opened ? opened->handle() : copy.db;
    Inspection chosen;
    chosen.problem = problem;
    if (problem.isEmpty()) chosen = inspect(source);
    if (!chosen.ok) fail(QStringLiteral("このﾊﾞｯｸｱｯﾌﾟからは戻せません。\r") + chosen.problem);
    make(db, folder, Reason::Restore, now);
    db.restoreFrom(source, progress);
}

}  // namespace backups
