#pragma once

#include <functional>

#include "data/ChangeRecorder.h"
#include "sync/Hlc.h"
#include "sync/Merge.h"

// Writes a record of every change the program makes to her records, in the change's own transaction, into
// the diary's SYNC_RECORD: what this computer's journal will carry to the others.
namespace syncing {

// Where the diary notes the latest time of the clock, so that a start need not look through every record.
inline const QString kClockState = QStringLiteral("clock");

class Recorder : public ChangeRecorder {
  public:
    // Starts from what the diary holds: its latest time and this computer's latest number.
    Recorder(DataFile& file, ComputerId self, std::function<qint64()> nowMs = {});

    void daysChanged(DataFile& file, const std::vector<QDate>& days) override;
    void purged(DataFile& file, const QDate& through) override;
    void replaced(DataFile& file) override;

    // Brings the records in line with the rows: a day whose row differs from what the records make of it gets
    // a record (time 0 for a day no record knows: the diary joining). Inside a transaction.
    int reconcile(DataFile& file);
    // The same for these days only (those changed while no recorder was there).
    int reconcile(DataFile& file, const std::vector<QDate>& days);
    // A record she chose in the conflict window: the day's content, replacing every head she was shown.
    void choose(DataFile& file, const QDate& day, const std::optional<DayContent>& content);

    HybridClock& clock() { return clock_; }
    // Notes the clock's latest time in the diary (inside a transaction), after times read from others.
    void noteClock(DataFile& file);
    // Written with every change, in its transaction: what the session keeps of its own (how far its journal
    // is written).
    std::function<void(DataFile&)> alongside;
    const ComputerId& self() const { return self_; }
    // Appended by a merge that read the others: how far, for the others to prune by.
    void recordRead(DataFile& file, const std::map<ComputerId, quint64>& read);
    // The name she gave this computer, for the others to show.
    void recordName(DataFile& file, const QString& name);

  private:
    static quint64 clockOf(DataFile& file);
    Record next(Record::Kind kind, const QDate& day, bool joining = false);
    void store(DataFile& file, const Record& record);
    // A record for the day as its rows hold it now, unless the records make it so already.
    bool follow(DataFile& file, const QDate& day, bool joining);

    ComputerId self_;
    HybridClock clock_;
    quint64 seq_ = 0;
};

// The day as the records make it, over the diary's records of it and every purge.
DayOutcome outcomeOf(DataFile& file, const QDate& day);

}  // namespace syncing
