#include "data/DataFile.h"

#include "data/ChangeRecorder.h"

#include "data/Columns.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/SqliteHeader.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <cstring>

namespace {

const QString kIsoFormat = QStringLiteral("yyyy-MM-dd");

QString iso(const QDate& day) { return day.toString(kIsoFormat); }

[[noreturn]] void raise(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty()) text = error.text();
    throw PgError::engine(text);
}

void exec(QSqlQuery& query) {
    if (!query.exec()) raise(query.lastError());
}

void prepare(QSqlQuery& query, const QString& sql) {
    if (!query.prepare(sql)) raise(query.lastError());
}

QString textOf(const QVariant& value) { return value.isNull() ? QString() : value.toString(); }

bool flagOf(const QVariant& value) { return !value.isNull() && value.toLongLong() == 1; }

DayRecord recordOf(const QSqlQuery& query) {
    DayRecord record;
    record.date = jatext::readIsoDate(query.value(data::kDate).toString());
    const QVariant temp = query.value(data::kTemp);
    bool ok = false;
    const double value = temp.toDouble(&ok);
    if (!temp.isNull() && ok) record.temp = value;
    record.memo = textOf(query.value(data::kMemo));
    record.schedule = textOf(query.value(data::kSchedule));
    record.condition = textOf(query.value(data::kCondition));
    record.diary = textOf(query.value(data::kDiary));
    record.love = flagOf(query.value(data::kLove));
    record.guest = flagOf(query.value(data::kGuest));
    return record;
}

QString selectColumns() { return QStringLiteral("SELECT ") + data::columnNames(); }

// Her texts travel as UTF-8 bytes that the statement casts to text (written CAST(:name AS TEXT)): the engine
// drops a leading U+FEFF from a text bound as UTF-16, as Qt binds a QString. An empty text is stored as the
// empty string, never as Null.
QByteArray textBytes(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return bytes.isNull() ? QByteArray("") : bytes;
}

QVariant valueOf(const DayEntry& entry, double temp, int column) {
    switch (column) {
        case data::kDate:
            return iso(entry.date);
        case data::kTemp:
            return temp;
        case data::kMemo:
            return textBytes(entry.memo);
        case data::kSchedule:
            return textBytes(entry.schedule);
        case data::kCondition:
            return textBytes(entry.condition);
        case data::kDiary:
            return textBytes(entry.diary);
        case data::kLove:
            return entry.love ? 1 : 0;
        default:
            return entry.guest ? 1 : 0;
    }
}

// Binds the columns whose parameters the statement holds: only those may be bound.
void bindEntry(QSqlQuery& query, const QString& sql, const DayEntry& entry, double temp) {
    for (int i = 0; i < int(data::kColumns.size()); ++i) {
        const QString parameter = QLatin1String(data::kColumns[size_t(i)].parameter);
        if (sql.contains(parameter)) query.bindValue(parameter, valueOf(entry, temp, i));
    }
}

const QString& insertStatement() {
    static const QString statement = [] {
        QStringList values;
        for (const data::Column& column : data::kColumns) values.append(data::columnValue(column));
        return QStringLiteral("INSERT INTO DATA_FIL (%1) VALUES (%2)")
            .arg(data::columnNames(), values.join(QStringLiteral(", ")));
    }();
    return statement;
}

// A transaction that rolls back unless committed, so no failure leaves half a change behind.
class Transaction {
  public:
    explicit Transaction(const QSqlDatabase& db) : db_(db) {
        QSqlQuery begin(db_);
        // IMMEDIATE takes the write lock at once, so a second instance waits here, not half-way.
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) raise(begin.lastError());
    }
    ~Transaction() {
        if (!done_) QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    }
    void commit() {
        QSqlQuery commit(db_);
        if (!commit.exec(QStringLiteral("COMMIT"))) raise(commit.lastError());
        done_ = true;
    }

  private:
    QSqlDatabase db_;
    bool done_ = false;
};

}  // namespace

DataFile& requireOpen(DataFile* file) {
    if (!file) throw PgError(PgError::InvalidCall, QStringLiteral("データファイルが開かれていません。"));
    return *file;
}

PgError newerFile() { return PgError(PgError::NewerFile, standardErrorText(PgError::NewerFile)); }

double temperatureValue(const QString& text) {
    const auto value = jatext::readDecimal(text);
    if (!value) throw PgError::engine(QStringLiteral("データ型変換エラーです。"));
    return *value;
}

DataFile::DataFile(QString path)
    : path_(std::move(path)), connection_(QStringLiteral("data-") + QUuid::createUuid().toString()) {}

DataFile::~DataFile() {
    {
        QSqlDatabase database = QSqlDatabase::database(connection_, false);
        if (store_ && database.isOpen()) wipe();  // nothing of a held diary outlives it in memory
        if (database.isValid()) database.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase DataFile::db() const { return QSqlDatabase::database(connection_, false); }

namespace {

bool identify(const QString& path, quint64* device, quint64* inode) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *device = info.st_dev;
    *inode = info.st_ino;
    return true;
}

// Her diary is for her eyes only: a file that others may read is made owner-only.
void keepPrivate(const QString& path) {
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions current = QFile::permissions(path);
    if (current & others) QFile::setPermissions(path, current & ~others);
}

}  // namespace

void DataFile::ensureStillInPlace() const {
    if (store_) return store_->checkWritable();
    quint64 device = 0;
    quint64 inode = 0;
    if (!identify(path_, &device, &inode))
        throw PgError::engine(QStringLiteral("データファイルが見つかりません。移動または削除されました。"))
            .markAboutTheFile();
    // Another file at its name: a copy put back, or the diary locked or unlocked by another program.
    if (device != device_ || inode != inode_)
        throw PgError::engine(
            QStringLiteral("データファイルがほかのﾌﾟﾛｸﾞﾗﾑで置き換えられました。保存は取りやめました。\r"
                           "日記を開き直して下さい。"))
            .markAboutTheFile();
    // The open connection could still write into a file made read-only since; her choice is respected.
    if (::access(QFile::encodeName(path_).constData(), W_OK) != 0)
        throw PgError::engine(QStringLiteral("データファイルに書き込めません。読み取り専用です。"))
            .markAboutTheFile();
}

void DataFile::checkFile() {
    {
        QSqlQuery query(db());
        if (!query.exec(selectColumns() + QStringLiteral(" FROM DATA_FIL LIMIT 0"))) raise(query.lastError());
    }
    if (schema::versionOf(handle()) > schema::kVersion) throw newerFile();
}

void DataFile::bringUpToDate() {
    sqlite3* connection = handle();
    const int version = schema::versionOf(connection);
    if (version > schema::kVersion) throw newerFile();  // a newer program stamped it meanwhile
    if (version < schema::kVersion) schema::upgrade(connection, version);
}

std::unique_ptr<DataFile> DataFile::open(const QString& path) {
    std::unique_ptr<DataFile> file(new DataFile(path));
    if (!identify(path, &file->device_, &file->inode_))
        throw PgError::engine(QStringLiteral("データファイルが見つかりません。"));
    keepPrivate(path);
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file->connection_);
    database.setDatabaseName(path);
    // A second instance holding the file waits a few seconds before the operation reports.
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!database.open()) raise(database.lastError());
    QSqlQuery query(database);
    // A returned save is on disk, the commit's directory entry included.
    if (!query.exec(QStringLiteral("PRAGMA synchronous = EXTRA"))) raise(query.lastError());
    file->checkFile();
    return file;
}

std::unique_ptr<DataFile> DataFile::openInMemory(std::unique_ptr<DiaryStore> store, bool checked) {
    std::unique_ptr<DataFile> file(new DataFile(QStringLiteral(":memory:")));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file->connection_);
    database.setDatabaseName(QStringLiteral(":memory:"));
    if (!database.open()) raise(database.lastError());
    QSqlQuery query(database);
    // Nothing of a held diary may reach the disk through the engine: no temporary files.
    if (!query.exec(QStringLiteral("PRAGMA temp_store = MEMORY"))) raise(query.lastError());
    query.finish();
    file->takeOver(store->load());
    file->store_ = std::move(store);
    if (checked) file->checkFile();
    return file;
}

std::unique_ptr<DataFile> DataFile::openHeld(std::unique_ptr<DiaryStore> store) {
    return openInMemory(std::move(store), true);
}

QByteArrayView DataFile::image() const {
    sqlite3* connection = store_ ? data::handleOf(db()) : nullptr;
    sqlite3_int64 size = 0;
    // Only an in-memory database answers without a copy; anything else gives nothing.
    unsigned char* data =
        connection ? sqlite3_serialize(connection, "main", &size, SQLITE_SERIALIZE_NOCOPY) : nullptr;
    if (!data) return {};
    return {data, qsizetype(size)};
}

void DataFile::wipe() {
    const QByteArrayView bytes = image();
    if (!bytes.isEmpty()) explicit_bzero(const_cast<char*>(bytes.data()), size_t(bytes.size()));
}

void DataFile::takeOver(DiaryImage image) {
    if (!image.data()) return;  // a store that has given its image already keeps what the memory holds
    sqlite3* connection = data::handleOf(db());
    if (!connection) throw PgError::engine(QStringLiteral("日記の接続が開いていません。"));
    wipe();
    const qsizetype size = image.size();
    // A diary sealed with the header of write-ahead logging (restored from such a file) opens again.
    toRollbackMode(image.data(), size);
    // The engine frees the bytes itself, on close or when it refuses them.
    const int result = sqlite3_deserialize(connection, "main", image.release(), size, size,
                                           SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
    if (result != SQLITE_OK) throw PgError::engine(QString::fromUtf8(sqlite3_errstr(result)));
}

void DataFile::persist() {
    if (!store_) return;
    try {
        store_->save(image());
    } catch (const PgError&) {
        takeOver(store_->load());
        throw;
    }
}

std::optional<DayRecord> DataFile::load(const QDate& day) { return dayState(day).record; }

DayState DataFile::dayState(const QDate& day) {
    QSqlQuery query(db());
    query.setForwardOnly(true);
    prepare(query, selectColumns() +
                       QStringLiteral(", rowid FROM DATA_FIL WHERE DAT_DATE = :date ORDER BY rowid LIMIT 1"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    DayState state;
    if (!query.next()) return state;
    state.record = recordOf(query);
    state.record->date = day;
    state.row = query.value(int(data::kColumns.size())).toLongLong();
    return state;
}

std::optional<qint64> DataFile::findRow(const QDate& day) {
    QSqlQuery query(db());
    query.setForwardOnly(true);
    prepare(query,
            QStringLiteral("SELECT rowid FROM DATA_FIL WHERE DAT_DATE = :date ORDER BY rowid LIMIT 1"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    if (!query.next()) return std::nullopt;
    return query.value(0).toLongLong();
}

namespace {

// "TEMP = :temp, Memo = CAST(:memo AS TEXT), ..." for the fields the entry edits.
QString assignments(unsigned edited) {
    QStringList parts;
    for (const data::Column& column : data::kColumns)
        if (edited & column.field)
            parts.append(QLatin1String(column.name) + QStringLiteral(" = ") + data::columnValue(column));
    return parts.join(QStringLiteral(", "));
}

}  // namespace

void DataFile::writeIn(const DayEntry& entry, std::optional<qint64> row, double temp) {
    QSqlQuery query(db());
    int changed = 0;
    auto update = [&](const QString& sql) {
        prepare(query, sql);
        bindEntry(query, sql, entry, temp);
        query.bindValue(QStringLiteral(":row"), *row);
        exec(query);
        changed = query.numRowsAffected();
    };
    if (row) {
        // A day saved over its own row keeps its date: leaving the indexed date unnamed spares its index a
        // rewrite. A row of another day takes the date too. Fields she did not edit are not written at all.
        const QString set = assignments(entry.edited);
        update(QStringLiteral("UPDATE DATA_FIL SET ") +
               (set.isEmpty() ? QStringLiteral("DAT_DATE = DAT_DATE") : set) +
               QStringLiteral(" WHERE rowid = :row AND DAT_DATE = :date"));
        if (changed == 0)
            update(QStringLiteral("UPDATE DATA_FIL SET DAT_DATE = :date") +
                   (set.isEmpty() ? QString() : QStringLiteral(", ") + set) +
                   QStringLiteral(" WHERE rowid = :row"));
    }
    if (changed == 0) {
        // A new day, or its row has gone meanwhile: never a second row for one day.
        if (findRow(entry.date))
            throw PgError::engine(QStringLiteral("この日のデータは既に登録されています。"));
        const QString& insert = insertStatement();
        prepare(query, insert);
        bindEntry(query, insert, entry, temp);
        exec(query);
    }
}

void DataFile::write(const DayEntry& entry, std::optional<qint64> row) {
    const double temp = temperatureValue(entry.tempText);  // refused before the file is touched
    ensureStillInPlace();
    Transaction transaction(db());
    bringUpToDate();
    ++writes_;
    writeIn(entry, row, temp);
    if (recorder_) recorder_->daysChanged(*this, {entry.date});
    transaction.commit();
    persist();
}

bool DataFile::write(const DayEntry& entry, const DayState& expected) {
    const double temp = temperatureValue(entry.tempText);
    ensureStillInPlace();
    Transaction transaction(db());
    if (dayState(entry.date) != expected) return false;
    bringUpToDate();
    ++writes_;
    writeIn(entry, expected.row, temp);
    if (recorder_) recorder_->daysChanged(*this, {entry.date});
    transaction.commit();
    persist();
    return true;
}

void DataFile::forEachMenstruationDay(const std::function<bool(const QDate&)>& visit,
                                      const std::optional<QDate>& through) {
    QSqlQuery query(db());
    query.setForwardOnly(true);
    prepare(query,
            through ? QStringLiteral("SELECT DAT_DATE FROM DATA_FIL WHERE GUEST = 1 AND DAT_DATE <= :through"
                                     " ORDER BY DAT_DATE DESC")
                    : QStringLiteral("SELECT DAT_DATE FROM DATA_FIL WHERE GUEST = 1 ORDER BY DAT_DATE DESC"));
    if (through) query.bindValue(QStringLiteral(":through"), iso(*through));
    exec(query);
    while (query.next()) {
        const QDate day = jatext::readIsoDate(query.value(0).toString());
        if (!day.isValid())
            throw PgError(PgError::InvalidNull, QStringLiteral("日付の読めないデータがあります。"));
        if (!visit(day)) break;
    }
    if (query.lastError().isValid()) raise(query.lastError());
}

std::vector<DayRecord> DataFile::range(const QDate& first, const QDate& last) {
    QSqlQuery query(db());
    query.setForwardOnly(true);
    prepare(query, selectColumns() + QStringLiteral(", ") + markColumn() +
                       QStringLiteral(" FROM DATA_FIL WHERE DAT_DATE >= :first AND DAT_DATE <= :last"
                                      " ORDER BY DAT_DATE DESC, rowid"));
    query.bindValue(QStringLiteral(":first"), iso(first));
    query.bindValue(QStringLiteral(":last"), iso(last));
    exec(query);
    std::vector<DayRecord> records;
    while (query.next()) {
        DayRecord record = recordOf(query);
        record.excluded = query.value(int(data::kColumns.size())).toLongLong() == 1;
        if (record.date.isValid()) records.push_back(std::move(record));
    }
    if (query.lastError().isValid()) raise(query.lastError());
    return records;
}

void DataFile::purgeThrough(const QDate& day, const DayEntry& fresh) {
    const double temp = temperatureValue(fresh.tempText);
    ensureStillInPlace();
    Transaction transaction(db());
    bringUpToDate();
    ++writes_;
    QSqlQuery query(db());
    prepare(query, QStringLiteral("DELETE FROM DATA_FIL WHERE DAT_DATE <= :date"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    // The marks go with their days; the fresh day starts without one.
    prepare(query, QStringLiteral("DELETE FROM EXCLUDED WHERE DAT_DATE <= :date"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    const QString& insert = insertStatement();
    prepare(query, insert);
    bindEntry(query, insert, fresh, temp);
    exec(query);
    if (recorder_) {
        recorder_->purged(*this, day);
        recorder_->daysChanged(*this, {fresh.date});
    }
    transaction.commit();
    persist();
}

void DataFile::transact(const std::function<void()>& work) {
    ensureStillInPlace();
    Transaction transaction(db());
    bringUpToDate();
    ++writes_;
    work();
    transaction.commit();
    persist();
}
