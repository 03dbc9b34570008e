#include "data/DiaryImage.h"

#include "data/Columns.h"
#include "data/Sqlite.h"
#include "data/SqliteHeader.h"
#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

#include <QSqlError>
#include <QUuid>
#include <cstring>

DiaryImage::DiaryImage(qsizetype size) : size_(size) {
    data_ = static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(qMax<qsizetype>(size, 1))));
    if (!data_) throw PgError::engine(QStringLiteral("日記を開くメモリが足りません。"));
}

DiaryImage DiaryImage::adopt(unsigned char* data, qsizetype size) {
    DiaryImage image;
    image.data_ = data;
    image.size_ = data ? size : 0;
    return image;
}

DiaryImage::~DiaryImage() {
    if (data_) {
        explicit_bzero(data_, size_t(size_));  // never optimised away, unlike a plain memset
        sqlite3_free(data_);
    }
}

DiaryImage::DiaryImage(DiaryImage&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

DiaryImage& DiaryImage::operator=(DiaryImage&& other) noexcept {
    if (this != &other) {
        DiaryImage gone(std::move(*this));
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

unsigned char* DiaryImage::release() {
    unsigned char* data = data_;
    data_ = nullptr;
    size_ = 0;
    return data;
}

DiaryImage DiaryImage::readFile(const QString& path) {
    const QString name = QStringLiteral("plain-") + QUuid::createUuid().toString();
    DiaryImage image;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        if (db.open()) {
            sqlite3* handle = data::handleOf(db);
            sqlite3_int64 size = 0;
            // One read transaction, so the copy is one consistent state of the file.
            unsigned char* data = handle ? sqlite3_serialize(handle, "main", &size, 0) : nullptr;
            image = adopt(data, qsizetype(size));
            if (!image.data() && handle) error = data::errorOf(handle);
            db.close();
        } else {
            error = systemtext::inJapanese(db.lastError().text());
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!image.data())
        throw PgError::engine(error.isEmpty() ? QStringLiteral("データファイルを読めません。") : error);
    toRollbackMode(image.data(), image.size());
    return image;
}

bool DiaryImage::holdsDiary(QByteArrayView bytes) {
    data::Connection scratch;
    // Read-only and without a copy: the bytes stay the caller's and are never changed.
    const QByteArray check =
        (QStringLiteral("SELECT ") + data::columnNames() + QStringLiteral(" FROM DATA_FIL LIMIT 0")).toUtf8();
    return !bytes.isEmpty() &&
           sqlite3_open_v2(":memory:", &scratch.db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
           sqlite3_deserialize(scratch.db, "main",
                               reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                               bytes.size(), bytes.size(), SQLITE_DESERIALIZE_READONLY) == SQLITE_OK &&
           sqlite3_exec(scratch.db, check.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}
