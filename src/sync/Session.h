#pragma once

#include "platform/core/Result.h"
#include "sync/Folder.h"
#include "sync/Recorder.h"

#include <QDateTime>
#include <memory>

// Her diary kept in step through the sync folder, for one run (the window's, or one command's): every change
// recorded in the diary and appended to this computer's journal; the others' journals read and merged day by
// day, one transaction with how far each was read.
namespace syncing {

// A day two computers changed without seeing each other's change: what the diary holds, and the other side.
struct Conflict {
    QDate day;
    std::optional<DayContent> kept;   // nothing: the day was removed
    std::optional<DayContent> other;  // the other version (nothing: a removal)
    QString otherComputer;            // its computer's name, as far as known
};

struct MergeReport {
    std::vector<QDate> daysTaken;  // days whose rows the merge changed
    int newConflicts = 0;          // conflicts not told of before
    int damaged = 0;               // damaged records skipped
    QStringList computers;         // the other computers read, by name
    QStringList problems;          // what she should know (a folder missing, a newer program's journal, ...)
};

class Session {
  public:
    // self: this computer's id; name: as she named it; now: the wall clock in ms (tests). Installs the
    // recorder into the diary for as long as the session lives.
    Session(DataFile& file, QString folder, ComputerId self, QString name, std::function<qint64()> now = {},
            const Sealer* sealer = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The first step of a run: a diary that is new to this computer (just joined, copied here, changed while
    // sync was off) gets records for every day that differs from what its records make of it, and its name.
    Result<void> start();
    // This computer's records not yet in its journal, appended (the journal rewritten shorter when large).
    // Never needed for a save to count: what fails now is appended at the next flush.
    Result<void> flush();
    // The same, and how far the journal is written noted in the diary at once (the end of a command).
    Result<void> flushAndNote();
    // Reads what the others appended since the last merge and applies it, then flushes.
    Result<MergeReport> merge();
    // Every day that has a conflict now.
    std::vector<Conflict> conflicts();
    // She chose in the conflict window: the day holds this (nothing: removed), and the conflict is over.
    Result<void> choose(const QDate& day, const std::optional<DayContent>& content);

    Recorder& recorder() { return *recorder_; }
    // The diary went away under the session (a lock, a passphrase set): nothing of it is touched again, not
    // even by the destructor. The session is of no further use.
    void detach() { attached_ = false; }

  private:
    QString nameOf(const ComputerId& id);
    // This computer's last number in its journal, as far as known; noted in the diary inside a transaction.
    qint64 journaled();
    void noteJournaled();
    // Inside the merge's transaction: what every computer has read and no merge needs any more goes.
    void prune();

    DataFile& file_;
    Folder folder_;
    QString name_;
    const Sealer* sealer_;
    std::unique_ptr<Recorder> recorder_;
    bool attached_ = true;
    qint64 journaled_ = -1;    // -1: as the diary notes it
    bool keyChecked_ = false;  // whether this computer's journal is sealed as this run seals was looked at
    bool reseal_ = false;      // it is not: written whole again at the next flush
};

// A journal larger than this is rewritten by its owner to the latest record of each day.
inline constexpr qint64 kCompactAt = qint64(4) * 1024 * 1024;

}  // namespace syncing
