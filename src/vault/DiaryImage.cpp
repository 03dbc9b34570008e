#include "vault/DiaryImage.h"

#include "data/SqliteHeader.h"
#include "platform/core/PgError.h"

#include <sodium.h>
#include <sqlite3.h>
#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>
#include <QVariant>
#include <cstring>

namespace vault {

Image::Image(qsizetype size) : size_(size) {
    data_ = static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(qMax<qsizetype>(size, 1))));
    if (!data_) throw PgError::engine(QStringLiteral("日記を開くメモリが足りません。"));
}

Image Image::adopt(unsigned char* data, qsizetype size) {
    Image image;
    image.data_ = data;
    image.size_ = data ? size : 0;
    return image;
}

Image::~Image() {
    if (data_) {
        sodium_memzero(data_, size_t(size_));
        sqlite3_free(data_);
    }
}

Image::Image(Image&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

Image& Image::operator=(Image&& other) noexcept {
    if (this != &other) {
        Image gone(std::move(*this));
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

unsigned char* Image::release() {
    unsigned char* data = data_;
    data_ = nullptr;
    size_ = 0;
    return data;
}

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.data());
}

QByteArrayView bytesOf(const QSqlDatabase& db) {
    sqlite3* handle = handleOf(db);
    sqlite3_int64 size = 0;
    // Only an in-memory database answers without a copy; anything else gives nothing.
    unsigned char* data =
        handle ? sqlite3_serialize(handle, "main", &size, SQLITE_SERIALIZE_NOCOPY) : nullptr;
    if (!data) return {};
    return {data, qsizetype(size)};
}

void takeOver(QSqlDatabase& db, Image image) {
    sqlite3* handle = handleOf(db);
    if (!handle) throw PgError::engine(QStringLiteral("日記の接続が開いていません。"));
    wipe(db);
    const qsizetype size = image.size();
    // A diary sealed with the header of write-ahead logging (restored from such a file) opens again.
    toRollbackMode(image.data(), size);
    // The engine frees the bytes itself, on close or when it refuses them.
    const int result = sqlite3_deserialize(handle, "main", image.release(), size, size,
                                           SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
    if (result != SQLITE_OK) throw PgError::engine(QString::fromUtf8(sqlite3_errstr(result)));
}

void wipe(QSqlDatabase& db) {
    const QByteArrayView bytes = bytesOf(db);
    if (!bytes.isEmpty()) sodium_memzero(const_cast<char*>(bytes.data()), size_t(bytes.size()));
}

Image readPlainFile(const QString& path) {
    const QString name = QStringLiteral("plain-") + QUuid::createUuid().toString();
    Image image;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        if (db.open()) {
            sqlite3* handle = handleOf(db);
            sqlite3_int64 size = 0;
            // One read transaction, so the copy is one consistent state of the file.
            unsigned char* data = handle ? sqlite3_serialize(handle, "main", &size, 0) : nullptr;
            image = Image::adopt(data, qsizetype(size));
            if (!image.data() && handle) error = QString::fromUtf8(sqlite3_errmsg(handle));
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!image.data())
        throw PgError::engine(error.isEmpty() ? QStringLiteral("データファイルを読めません。") : error);
    toRollbackMode(image.data(), image.size());
    return image;
}

bool opensAsDiary(QByteArrayView image) {
    sqlite3* scratch = nullptr;
    // Read-only and without a copy: the bytes stay the caller's and are never changed.
    bool ok = !image.isEmpty() &&
              sqlite3_open_v2(":memory:", &scratch, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_deserialize(scratch, "main",
                                  reinterpret_cast<unsigned char*>(const_cast<char*>(image.data())),
                                  image.size(), image.size(), SQLITE_DESERIALIZE_READONLY) == SQLITE_OK;
    ok =
        ok && sqlite3_exec(scratch, "SELECT * FROM DATA_FIL LIMIT 0", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(scratch);
    return ok;
}

}  // namespace vault
