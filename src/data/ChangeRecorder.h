#pragma once

#include <QDate>
#include <vector>

class DataFile;

// Told of every change the program makes to her records, inside the write transaction of that change, so
// that what it writes (the records that keep her other computers in step) commits or rolls back with it. It
// may read the diary and write its own tables through the file, never begin or end a transaction.
class ChangeRecorder {
  public:
    virtual ~ChangeRecorder() = default;
    // The rows of these days were written (saved, imported).
    virtual void daysChanged(DataFile& file, const std::vector<QDate>& days) = 0;
    // Every day up to and including through was deleted; the rows of those days written afterwards (the
    // purge's fresh day) follow as daysChanged.
    virtual void purged(DataFile& file, const QDate& through) = 0;
    // The whole diary was replaced (a restore): any day may differ.
    virtual void replaced(DataFile& file) = 0;
};
