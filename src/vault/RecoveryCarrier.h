#pragma once

#include "data/DiaryImage.h"
#include "platform/core/Result.h"

#include <QString>

namespace vault {

class LockedStore;

// The edits kept in the recovery file when a session ended without the closing questions are sealed with the
// diary's key (plain for a plain diary), so a new key must take them along: read before the change with the
// key they were sealed with, written again after it with the new one, or plain when the passphrase goes.
class RecoveryCarrier {
  public:
    // Reads the file at path, if any, as the diary before the change reads it: before is its store, none
    // while the diary is plain. A file that this key cannot open is left as it is.
    RecoveryCarrier(QString path, const LockedStore* before);

    // Whether there are edits to take along.
    bool holds() const { return held_; }
    // Writes them again for the diary after the change (after: its store, none when plain), in one step;
    // nothing to carry is no failure.
    Result<void> carry(const LockedStore* after) const;

  private:
    QString path_;
    DiaryImage plain_;
    bool held_ = false;
};

}  // namespace vault
