#pragma once

#include "platform/core/DiaryFolder.h"
#include "platform/core/Result.h"

#include <QString>
#include <optional>

class SettingsStore;

// Her diary's home at start-up, the same for the window and the command line: where it lives, the installed
// program's empty diary at its first start, and the offer to copy in the diary of a portable Selvane.
namespace diaryhome {

// The offer, once made (taken or declined), is remembered as [MOVE_IN] DATA=1; any other value is not.
inline const QString kMoveInSection = QStringLiteral("MOVE_IN");

struct Start {
    QString folder;                // the diary's folder
    std::optional<QString> offer;  // the folder of an earlier diary to offer to copy in
    bool makesDiary = false;       // an installed program without a diary, which it makes (after the offer)
};

Start look(diaryfolder::Build build, const diaryfolder::Surroundings& around, const SettingsStore& settings);
// Throws PgError when the settings cannot be written.
void rememberOffer(SettingsStore& settings);

// Whether the file is a whole diary, without its passphrase: SQLite's integrity check of a plain one, the
// header and checksums of a locked one.
Result<void> checkDiary(const QString& path);
// Copies the diary in from the folder, with its backups and any recovery file, each checked.
Result<void> moveIn(const QString& from, const QString& to);
// The empty diary, owner-only, in folder (made owner-only when missing); nothing where a diary lies.
Result<void> makeEmptyDiary(const QString& folder);

}  // namespace diaryhome
