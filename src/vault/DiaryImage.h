#pragma once

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

// A whole diary as the bytes of a data file, moved between a file and an in-memory connection with SQLite's
// serialize and deserialize, so that an unlocked diary never needs a plain file on disk.
namespace vault {

// Bytes in SQLite's own memory, so that a connection can take them over; wiped when released.
class Image {
  public:
    Image() = default;
    explicit Image(qsizetype size);  // throws PgError when the memory is not there
    // Takes over bytes that the engine allocated.
    static Image adopt(unsigned char* data, qsizetype size);
    ~Image();
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    unsigned char* data() { return data_; }
    qsizetype size() const { return size_; }
    QByteArrayView view() const { return {data_, size_}; }

  private:
    friend void takeOver(QSqlDatabase& db, Image image);
    unsigned char* release();

    unsigned char* data_ = nullptr;
    qsizetype size_ = 0;
};

// The engine's handle of an open connection.
sqlite3* handleOf(const QSqlDatabase& db);
// The in-memory database of the connection, without a copy: valid until the connection next changes.
QByteArrayView bytesOf(const QSqlDatabase& db);
// Replaces the connection's database with the image, which the connection then owns. Throws PgError.
void takeOver(QSqlDatabase& db, Image image);
// Overwrites the memory of the connection's in-memory database, before it is closed or replaced.
void wipe(QSqlDatabase& db);
// The whole database of a plain data file, read consistently through a connection of its own.
Image readPlainFile(const QString& path);
// Whether the bytes open as a database holding the diary's table.
bool opensAsDiary(QByteArrayView image);

}  // namespace vault
