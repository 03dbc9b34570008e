#include "data/DataFile.h"

#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

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
    record.date = jatext::readIsoDate(query.value(0).toString());
    const QVariant temp = query.value(1);
    bool ok = false;
    const double value = temp.toDouble(&ok);
    if (!temp.isNull() && ok) record.temp = value;
    record.memo = textOf(query.value(2));
    record.schedule = textOf(query.value(3));
    record.condition = textOf(query.value(4));
    record.diary = textOf(query.value(5));
    record.love = flagOf(query.value(6));
    record.guest = flagOf(query.value(7));
    return record;
}

const QString kColumns = QStringLiteral("DAT_DATE, TEMP, Memo, SCHEDULE, CONDITION, DIARY, LOVE, GUEST");

// Her texts travel as UTF-8 bytes that the statement casts to text (written CAST(:name AS TEXT)): the engine
// drops a leading U+FEFF from a text bound as UTF-16, as Qt binds a QString. An empty text is stored as the
// empty string, never as Null.
QByteArray textBytes(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return bytes.isNull() ? QByteArray("") : bytes;
}

QVariant valueOf(const DayEntry& entry, double temp, QStringView name) {
    if (name == u":date") return iso(entry.date);
    if (name == u":temp") return temp;
    if (name == u":memo") return textBytes(entry.memo);
    if (name == u":schedule") return textBytes(entry.schedule);
    if (name == u":condition") return textBytes(entry.condition);
    if (name == u":diary") return textBytes(entry.diary);
    if (name == u":love") return entry.love ? 1 : 0;
    return entry.guest ? 1 : 0;
}

void bindOne(QSqlQuery& query, const DayEntry& entry, double temp, const QString& name) {
    query.bindValue(name, valueOf(entry, temp, name));
}

void bindEntry(QSqlQuery& query, const DayEntry& entry, double temp) {
    for (const char* name :
         {":date", ":temp", ":memo", ":schedule", ":condition", ":diary", ":love", ":guest"})
        bindOne(query, entry, temp, QString::fromLatin1(name));
}

const QString kInsert = QStringLiteral(
    "INSERT INTO DATA_FIL (DAT_DATE, TEMP, Memo, SCHEDULE, CONDITION, DIARY, LOVE, GUEST)"
    " VALUES (:date, :temp, CAST(:memo AS TEXT), CAST(:schedule AS TEXT), CAST(:condition AS TEXT),"
    " CAST(:diary AS TEXT), :love, :guest)");

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
        if (store_ && database.isOpen()) store_->forget(database);
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
    if (!identify(path_, &device, &inode) || device != device_ || inode != inode_)
        throw PgError::engine(QStringLiteral("データファイルが見つかりません。移動または削除されました。"));
    // The open connection could still write into a file made read-only since; her choice is respected.
    if (::access(QFile::encodeName(path_).constData(), W_OK) != 0)
        throw PgError::engine(QStringLiteral("データファイルに書き込めません。読み取り専用です。"));
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
    // Check that this is a data file with the table and its fields before anything else uses it.
    if (!query.exec(QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM DATA_FIL LIMIT 0")))
        raise(query.lastError());
    return file;
}

std::unique_ptr<DataFile> DataFile::openHeld(std::unique_ptr<DiaryStore> store) {
    std::unique_ptr<DataFile> file(new DataFile(QStringLiteral(":memory:")));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file->connection_);
    database.setDatabaseName(QStringLiteral(":memory:"));
    if (!database.open()) raise(database.lastError());
    QSqlQuery query(database);
    // Nothing of a held diary may reach the disk through the engine: no temporary files.
    if (!query.exec(QStringLiteral("PRAGMA temp_store = MEMORY"))) raise(query.lastError());
    query.finish();
    store->load(database);
    if (!query.exec(QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM DATA_FIL LIMIT 0")))
        raise(query.lastError());
    file->store_ = std::move(store);
    return file;
}

void DataFile::persist() {
    if (!store_) return;
    QSqlDatabase database = db();
    try {
        store_->save(database);
    } catch (const PgError&) {
        store_->load(database);
        throw;
    }
}

std::optional<DayRecord> DataFile::load(const QDate& day) { return dayState(day).record; }

DayState DataFile::dayState(const QDate& day) {
    QSqlQuery query(db());
    query.setForwardOnly(true);
    prepare(query, QStringLiteral("SELECT ") + kColumns +
                       QStringLiteral(", rowid FROM DATA_FIL WHERE DAT_DATE = :date ORDER BY rowid LIMIT 1"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    DayState state;
    if (!query.next()) return state;
    state.record = recordOf(query);
    state.record->date = day;
    state.row = query.value(8).toLongLong();
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
    static const std::pair<unsigned, const char*> kFields[] = {
        {dayfield::Temp, "TEMP = :temp"},
        {dayfield::Memo, "Memo = CAST(:memo AS TEXT)"},
        {dayfield::Schedule, "SCHEDULE = CAST(:schedule AS TEXT)"},
        {dayfield::Condition, "CONDITION = CAST(:condition AS TEXT)"},
        {dayfield::Diary, "DIARY = CAST(:diary AS TEXT)"},
        {dayfield::Love, "LOVE = :love"},
        {dayfield::Guest, "GUEST = :guest"},
    };
    QStringList parts;
    for (const auto& [field, sql] : kFields)
        if (edited & field) parts.append(QLatin1String(sql));
    return parts.join(QStringLiteral(", "));
}

}  // namespace

void DataFile::writeIn(const DayEntry& entry, std::optional<qint64> row, double temp) {
    QSqlQuery query(db());
    int changed = 0;
    auto update = [&](const QString& sql) {
        prepare(query, sql);
        // Only the names the statement holds may be bound.
        for (const QString& name :
             {QStringLiteral(":date"), QStringLiteral(":temp"), QStringLiteral(":memo"),
              QStringLiteral(":schedule"), QStringLiteral(":condition"), QStringLiteral(":diary"),
              QStringLiteral(":love"), QStringLiteral(":guest")})
            if (sql.contains(name)) bindOne(query, entry, temp, name);
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
        prepare(query, kInsert);
        bindEntry(query, entry, temp);
        exec(query);
    }
}

void DataFile::write(const DayEntry& entry, std::optional<qint64> row) {
    const double temp = temperatureValue(entry.tempText);  // refused before the file is touched
    ensureStillInPlace();
    Transaction transaction(db());
    ++writes_;
    writeIn(entry, row, temp);
    transaction.commit();
    persist();
}

bool DataFile::write(const DayEntry& entry, const DayState& expected) {
    const double temp = temperatureValue(entry.tempText);
    ensureStillInPlace();
    Transaction transaction(db());
    if (dayState(entry.date) != expected) return false;
    ++writes_;
    writeIn(entry, expected.row, temp);
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
    prepare(query, QStringLiteral("SELECT ") + kColumns +
                       QStringLiteral(" FROM DATA_FIL WHERE DAT_DATE >= :first AND DAT_DATE <= :last"
                                      " ORDER BY DAT_DATE DESC, rowid"));
    query.bindValue(QStringLiteral(":first"), iso(first));
    query.bindValue(QStringLiteral(":last"), iso(last));
    exec(query);
    std::vector<DayRecord> records;
    while (query.next()) {
        DayRecord record = recordOf(query);
        if (record.date.isValid()) records.push_back(std::move(record));
    }
    if (query.lastError().isValid()) raise(query.lastError());
    return records;
}

void DataFile::purgeThrough(const QDate& day, const DayEntry& fresh) {
    const double temp = temperatureValue(fresh.tempText);
    ensureStillInPlace();
    Transaction transaction(db());
    ++writes_;
    QSqlQuery query(db());
    prepare(query, QStringLiteral("DELETE FROM DATA_FIL WHERE DAT_DATE <= :date"));
    query.bindValue(QStringLiteral(":date"), iso(day));
    exec(query);
    prepare(query, kInsert);
    bindEntry(query, fresh, temp);
    exec(query);
    transaction.commit();
    persist();
}
