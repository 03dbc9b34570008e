#pragma once

#include <QByteArray>
#include <QString>

class QRegularExpression;

// Replacing a file in one step, so that her files are never left half-written. The bytes go to a new
// temporary file beside the target; every write and the flush to the disk are checked; only then is the
// temporary file renamed over the target and the folder synced. On any failure (a full disk, a file-size
// limit, a folder that is not writable) the target keeps its old content and no temporary file is left
// behind.
class AtomicFile {
  public:
    // mode: the new file's permissions; owner-only unless a caller asks for more.
    explicit AtomicFile(const QString& path, unsigned mode = 0600);
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes, syncs, renames over the target and syncs its folder. False (and nothing replaced) on failure.
    bool commit();

    // Why the last step failed, in the system's words.
    const QString& errorString() const { return error_; }

    // The whole file at once; empty on success, otherwise the failure's description.
    static QString replace(const QString& path, const QByteArray& bytes, unsigned mode = 0600);

    // Removes the temporary files that writes of path killed half-way left beside it (".name.XXXXXX", ours,
    // no longer held by a writer); never path itself, a link, or a file of another name or owner. Returns
    // how many went.
    static int removeStale(const QString& path);
    // The same for every file in folder whose whole name matches names (temporary files of writers that hold
    // their lock the same way).
    static int removeStaleIn(const QString& folder, const QRegularExpression& names);

  private:
    bool flush();
    bool fail(int error);
    void discard();

    QString path_;     // where the file ends up (a link's target when the path is a link)
    QByteArray temp_;  // the temporary file's name, in the file system's encoding
    unsigned mode_;
    int fd_ = -1;
    QByteArray buffer_;
    QString error_;
};

// Syncs a folder, so that a rename inside it survives a power cut. False when it could not be synced.
bool syncFolder(const QString& folder);
