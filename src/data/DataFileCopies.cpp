// Copies of the whole diary: a backup written with SQLite's online backup API, a backup read into memory and
// put back in one step, and the check of the diary or of a copy. These run on SQLite's own interface: the
// online backup API and serialize have no counterpart in Qt.
#include "data/ChangeRecorder.h"
#include "data/Columns.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/SqliteHeader.h"
#include "platform/core/PgError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>

namespace {

// A copy opened for reading: nothing is ever written through it.
class ReadOnlyImage : public DiaryStore {
  public:
    explicit ReadOnlyImage(DiaryImage image) : image_(std::move(image)) {}
    DiaryImage load() override { return std::move(image_); }
    void checkWritable() override { refuse(); }
    void save(QByteArrayView) override { refuse(); }
    void writeCopy(QByteArrayView, const QString&) override { refuse(); }

  private:
    [[noreturn]] static void refuse() {
        throw PgError::engine(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟは読むだけで、書き換えません。"));
    }
    DiaryImage image_;
};

// Opens a copy for reading and leaves nothing beside it: a file whose header asks for write-ahead logging
// would otherwise get -wal and -shm files. Only where a -wal file with changes lies beside it already is it
// read through SQLite's locks, so that those changes count.
bool openForReading(const QString& path, data::Connection* copy) {
    if (!QFileInfo(path).isFile()) return false;
    const bool pending = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    const QByteArray uri = "file:" + QFile::encodeName(path).toPercentEncoding("/") +
                           (pending ? QByteArray() : QByteArray("?immutable=1"));
    return sqlite3_open_v2(uri.constData(), &copy->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
           SQLITE_OK;
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
    QStringList expected;
    QStringList checks;
    for (const data::Column& column : data::kColumns) {
        const QString constraint = QLatin1String(column.constraint);
        expected.append(QStringLiteral("%1 %2 %3")
                            .arg(QString::fromLatin1(column.name).toUpper(), QLatin1String(column.type))
                            .arg(constraint.contains(QLatin1String("NOT NULL")) ? 1 : 0));
        if (const qsizetype at = constraint.indexOf(QLatin1String("CHECK")); at >= 0)
            checks.append(bare(constraint.mid(at)));
    }
    const QString table = QStringLiteral("日記の表（DATA_FIL）");
    std::vector<QStringList> found;
    if (!data::rows(db, "SELECT type, strict FROM pragma_table_list('DATA_FIL') WHERE schema = 'main'",
                    &found) ||
        found.size() != 1 || found[0].value(0) != QLatin1String("table"))
        return table + QStringLiteral("とその列がありません。");
    const bool strict = found[0].value(1) == u'1';
    QStringList names;
    if (data::rows(
            db, "SELECT upper(name || ' ' || type || ' ' || \"notnull\") FROM pragma_table_xinfo('DATA_FIL')",
            &found))
        for (const QStringList& row : found) names.append(row.value(0));
    if (names != expected) return table + QStringLiteral("とその列がありません。");
    if (!strict) return table + QStringLiteral("に型の検査（STRICT）がありません。");
    const QString sql = data::rows(db,
                                   "SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = 'DATA_FIL'"
                                   " COLLATE NOCASE",
                                   &found) &&
                                !found.empty()
                            ? bare(found[0].value(0))
                            : QString();
    for (const QString& check : checks)
        if (!sql.contains(check)) return table + QStringLiteral("に値の検査（CHECK）がありません。");
    return QString();
}

Result<DiarySpan> inspectHandle(sqlite3* db, bool thorough) {
    if (const Result<int> version = attempt([db] { return schema::versionOf(db); });
        version && version.value() > schema::kVersion)
        return Failure::of(newerFile());
    std::vector<QStringList> found;
    if (thorough) {
        const bool read = data::rows(db, "PRAGMA integrity_check", &found) && !found.empty();
        if (!read || found[0].value(0) != QLatin1String("ok"))
            return Failure{QStringLiteral("整合性の検査に通りません。") +
                           (read ? found[0].value(0) : data::errorOf(db))};
    }
    if (const QString problem = tableProblem(db); !problem.isEmpty()) return Failure{problem};
    if (!data::rows(db, "SELECT COUNT(*), MIN(DAT_DATE), MAX(DAT_DATE) FROM DATA_FIL", &found) ||
        found.empty())
        return Failure{data::errorOf(db)};
    return DiarySpan{found[0].value(0).toLongLong(), found[0].value(1), found[0].value(2)};
}

// Steps of the online backup API: a backup, or a restore into the live connection.
constexpr int kCopyPages = 8192;

}  // namespace

std::unique_ptr<DataFile> DataFile::openReadOnly(DiaryImage image) {
    return openInMemory(std::make_unique<ReadOnlyImage>(std::move(image)), true);
}

Result<std::unique_ptr<DataFile>> DataFile::openCopy(const QString& path) {
    data::Connection file;
    if (!openForReading(path, &file)) return Failure{QStringLiteral("ﾌｧｲﾙを開けません。")};
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(file.db, "main", &size, 0);
    DiaryImage image = DiaryImage::adopt(bytes, qsizetype(size));
    if (!image.data()) return Failure{QStringLiteral("ﾌｧｲﾙを読めません。") + file.error()};
    // In memory it is put in rollback-journal mode (takeOver), so that it is inspected and restored from the
    // same bytes.
    Result<std::unique_ptr<DataFile>> opened =
        attempt([&] { return openInMemory(std::make_unique<ReadOnlyImage>(std::move(image)), false); });
    if (!opened) return Failure{QStringLiteral("ﾌｧｲﾙを読めません。") + opened.message()};
    return opened;
}

Result<DiarySpan> DataFile::inspect(bool thorough) {
    Result<sqlite3*> connection = attempt([this] { return handle(); });
    if (!connection) return connection.failure();
    return inspectHandle(connection.value(), thorough);
}

Result<DiarySpan> DataFile::inspectFile(const QString& path, bool thorough) {
    data::Connection copy;
    if (!openForReading(path, &copy)) return Failure{QStringLiteral("ﾌｧｲﾙを開けません。")};
    return inspectHandle(copy.db, thorough);
}

void DataFile::copyInto(const QString& path, const Progress& progress) {
    data::Connection copy;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &copy.db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        throw PgError::engine(copy.error());
    // A copy no one reads until it is whole needs no journal: the caller syncs and renames it into place.
    sqlite3_exec(copy.db, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(copy.db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(copy.db, "main", handle(), "main");
    if (!backup) throw PgError::engine(copy.error());
    int step;
    while ((step = sqlite3_backup_step(backup, kCopyPages)) == SQLITE_OK)
        if (progress)
            progress(sqlite3_backup_pagecount(backup) - sqlite3_backup_remaining(backup),
                     sqlite3_backup_pagecount(backup));
    const int finished = sqlite3_backup_finish(backup);
    QString error;
    if (step != SQLITE_DONE || finished != SQLITE_OK) error = copy.error();
    if (error.isEmpty() && sqlite3_close(copy.db) != SQLITE_OK) error = copy.error();
    if (error.isEmpty()) copy.db = nullptr;
    if (!error.isEmpty()) throw PgError::engine(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを書き込めません。\r") + error);
}

void DataFile::restoreFrom(DataFile& source, const Progress& progress) {
    sqlite3* copy = source.handle();
    if (schema::versionOf(copy) > schema::kVersion) throw newerFile();
    ensureStillInPlace();
    ++writes_;
    sqlite3* live = handle();
    if (progress) progress(0, 2);
    // Her records come back from the backup into this file, one transaction: the file keeps its own layout
    // and version (a backup of an older one comes back as this one's), and whatever the file keeps beside her
    // records (how far her other computers have been read) is never taken from a backup.
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(copy, "main", &size, 0);
    if (!bytes) data::raise(copy);
    data::exec(live, "ATTACH DATABASE ':memory:' AS restored");
    struct Detach {
        sqlite3* db;
        ~Detach() {
            // What the backup held is overwritten before its memory goes back.
            sqlite3_int64 held = 0;
            if (unsigned char* memory = sqlite3_serialize(db, "restored", &held, SQLITE_SERIALIZE_NOCOPY))
                std::memset(memory, 0, size_t(held));
            sqlite3_exec(db, "DETACH DATABASE restored", nullptr, nullptr, nullptr);
        }
    } detach{live};
    if (const int taken =
            sqlite3_deserialize(live, "restored", bytes, size, size, SQLITE_DESERIALIZE_FREEONCLOSE);
        taken != SQLITE_OK)
        throw PgError::engine(QString::fromUtf8(sqlite3_errstr(taken)));
    data::exec(live, "BEGIN IMMEDIATE");
    try {
        bringUpToDate();
        const QByteArray columns = data::columnNames().toUtf8();
        data::exec(live, "DELETE FROM main.DATA_FIL");
        data::exec(live, ("INSERT INTO main.DATA_FIL (" + columns + ") SELECT " + columns +
                          " FROM restored.DATA_FIL ORDER BY rowid")
                             .constData());
        // Her marks are hers too: the backup's, or none from a backup made before they were kept.
        data::exec(live, "DELETE FROM main.EXCLUDED");
        if (schema::versionOf(copy) >= schema::kExcludedSince)
            data::exec(live, "INSERT INTO main.EXCLUDED (DAT_DATE) SELECT DAT_DATE FROM restored.EXCLUDED");
        marks_ = false;  // looked at again by the next read of the marks
        if (recorder_) recorder_->replaced(*this);
        data::exec(live, "COMMIT");
    } catch (...) {
        sqlite3_exec(live, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    if (progress) progress(2, 2);
    persist();
}
