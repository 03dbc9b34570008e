#pragma once

#include "data/DataFile.h"
#include "vault/LockedFormat.h"

#include <QFile>
#include <functional>
#include <memory>

namespace vault {

// The diary's bytes in memory of the engine's own, wiped when released.
using Image = DiaryImage;

// Tells her why a save was refused, in words of its own, before the program's error box.
using Refusal = std::function<void(const QString& text)>;

// What the program remembers of the file it wrote last: enough to know an older one put back.
struct Written {
    Salt salt{};
    quint64 generation = 0;
};

// Which file the file system holds at a path, and when it was written: any change of it changes this.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0;  // nanoseconds
    bool operator==(const FileIdentity&) const = default;
};

// The locked file as read from disk, checked as far as it can be without the passphrase.
struct LockedFile {
    QByteArray bytes;
    Header header;
    Fault fault = Fault::NotLocked;
    FileIdentity identity;  // of the file read
};

// Reads the file at path; fault NotLocked for a plain data file (or no file at all).
LockedFile readLockedFile(const QString& path);

// Decrypts a whole inspected file sealed with key into plain: None, WrongPassphrase when the key is not the
// file's, Changed when the body does not open.
Fault unsealWhole(const Key& key, QByteArrayView file, Image* plain);

// Keeps a diary held in memory as a locked file: every change is sealed whole with the key and written in one
// step (temporary file, sync, rename, sync of the folder), over the file written last and no other.
class LockedStore : public DiaryStore {
  public:
    // file: the locked file as read (or as about to be written); first: its diary already unsealed, if any.
    LockedStore(QString path, Key key, LockedFile file, Refusal refusal, Image first = {});

    Image load() override;
    void checkWritable() override;
    void save(QByteArrayView diary) override;
    void writeCopy(QByteArrayView diary, const QString& path) override;

    // A new key (a new passphrase): the diary (the held one's bytes) is written with it at once and read
    // back; the old key stays when anything fails. Throws PgError.
    void changeKey(QByteArrayView diary, Key key);
    // Whether the passphrase is the one of this key (makes a key: slow on purpose).
    bool fits(const Secret& passphrase) const;
    // Whether the file on disk holds exactly the diary's bytes, sealed with this key.
    bool matchesDisk(QByteArrayView diary) const;
    // Whether another program has written the file since this store wrote or read it last (a file that is
    // gone is no change: a save says so).
    bool changedOnDisk() const;
    // That newer file as a diary held open with this same key; nothing when it is sealed with another
    // passphrase. Throws PgError when it holds no diary.
    std::unique_ptr<DataFile> reopen(LockedFile file, Refusal refusal) const;
    // Seals any diary's bytes with this key into a file of its own, written atomically (copies, backups).
    // Empty on success, otherwise why it failed.
    QString writeSealedCopy(const QString& path, QByteArrayView plain) const;
    // Opens such a copy (its bytes) with this key: a fault for a file that is not one, or not of this key.
    Fault unsealCopy(QByteArrayView file, Image* plain) const;

    Written written() const { return {key_.salt, generation_}; }
    const QString& path() const { return path_; }

  private:
    [[noreturn]] void refuse(const QString& text) const;
    // Whether the open file is the one written last: same file, size, time, header and trailer.
    bool isWritten(QFile& on, const FileIdentity& identity) const;

    QString path_;
    Key key_;
    QByteArray file_;   // the sealed file written last (or read), to put the memory back after a failure
    QByteArray spare_;  // the memory the next save seals into
    quint64 generation_ = 0;
    FileIdentity identity_;
    Refusal refusal_;
    Image first_;
};

}  // namespace vault
