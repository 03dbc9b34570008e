#pragma once

#include "data/DataFile.h"
#include "platform/core/Result.h"
#include "sync/Journal.h"

#include <QStringList>

// The sync folder as this computer sees it: its own journal, which only it writes, and the others', which it
// only reads. Whatever another program left there (a conflict copy, a stray file) is reported, never read.
namespace syncing {

// Seals and opens the bodies of a sealed folder's frames (a locked diary's folder).
class Sealer {
  public:
    virtual ~Sealer() = default;
    virtual QByteArray seal(QByteArrayView body, const ComputerId& origin) const = 0;
    // Nothing when the body was not sealed with this key.
    virtual std::optional<QByteArray> open(QByteArrayView sealed, const ComputerId& origin) const = 0;
};

class Folder {
  public:
    // root: the folder she chose; the journals lie in its "Selvane" folder.
    explicit Folder(QString root);

    const QString& root() const { return root_; }
    QString journals() const;
    QString journalOf(const ComputerId& id) const;
    bool exists() const;

    // Appends frames for the bodies to this computer's journal, made with its header when it is missing, in
    // one write, synced.
    Result<void> append(const JournalHeader& header, const std::vector<QByteArray>& bodies) const;
    // Replaces this computer's journal in one step by the header and the bodies (compaction).
    Result<void> rewrite(const JournalHeader& header, const std::vector<QByteArray>& bodies) const;
    qint64 sizeOf(const ComputerId& id) const;

    // The other computers' journals, and what is there that is no journal of theirs.
    struct Listing {
        std::vector<std::pair<ComputerId, QString>> journals;
        QStringList conflictCopies;  // the sync program's copies of a journal two writers touched
        QStringList strays;          // files named like a journal whose id is not one
    };
    Listing list(const ComputerId& self) const;

    // What is new in one journal since position: the frames' bodies (opened when sealed) and where the next
    // read starts; the journal is read again from its start when its owner rewrote it (another generation).
    struct Reading {
        JournalHeader header;
        HeaderFault fault = HeaderFault::None;
        std::vector<QByteArray> bodies;
        DataFile::SyncPosition end;
        int damaged = 0;
        bool unopened = false;  // sealed, and the key does not open it
    };
    Reading read(const QString& path, const DataFile::SyncPosition& from, const Sealer* sealer) const;

  private:
    QString root_;
};

}  // namespace syncing
