#pragma once

#include <QByteArrayView>
#include <QString>

// A whole diary as the bytes of a data file, in SQLite's own memory so that an in-memory connection can take
// it over (serialize and deserialize): an unlocked diary never needs a plain file on disk. Wiped when
// released.
class DiaryImage {
  public:
    DiaryImage() = default;
    explicit DiaryImage(qsizetype size);  // throws PgError when the memory is not there
    ~DiaryImage();
    DiaryImage(DiaryImage&& other) noexcept;
    DiaryImage& operator=(DiaryImage&& other) noexcept;
    DiaryImage(const DiaryImage&) = delete;
    DiaryImage& operator=(const DiaryImage&) = delete;

    unsigned char* data() { return data_; }
    qsizetype size() const { return size_; }
    QByteArrayView view() const { return {data_, size_}; }

    // The whole database of a plain data file, read consistently through a connection of its own, in
    // rollback-journal mode. Throws PgError.
    static DiaryImage readFile(const QString& path);
    // Whether the bytes open as a database holding the diary's table (read where they lie, never changed).
    static bool holdsDiary(QByteArrayView bytes);

  private:
    friend class DataFile;
    // Takes over bytes that the engine allocated.
    static DiaryImage adopt(unsigned char* data, qsizetype size);
    unsigned char* release();

    unsigned char* data_ = nullptr;
    qsizetype size_ = 0;
};
