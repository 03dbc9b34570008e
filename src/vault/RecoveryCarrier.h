#pragma once

#include "data/DiaryImage.h"

#include <QString>

namespace vault {

class LockedStore;

// Told when the kept edits could not follow the new key (before why).
inline const QString kEditsNotCarried =
    QStringLiteral("保存されずに終了した編集を新しい設定で書き直せませんでした。");

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
    // Writes them again for the diary after the change (after: its store, none when plain), in one step.
    // Empty on success or with nothing to carry, otherwise why it failed.
    QString carry(const LockedStore* after) const;

  private:
    QString path_;
    DiaryImage plain_;
    bool held_ = false;
};

}  // namespace vault
