#pragma once

#include "platform/core/Result.h"

#include <QString>
#include <QStringList>
#include <optional>

// Where her diary lives. A portable Selvane keeps it beside the program, in a folder of her own; a program
// installed by the package lies under /usr, which is not hers to write, and keeps it in her data folder. The
// build says which one this program is (never a guess from permissions: root can write /usr/bin).
namespace diaryfolder {

inline const QString kDiaryName = QStringLiteral("selvane.mdb");

enum class Build { Portable, Installed };

// What this program was built as.
Build thisBuild();

// What the rule reads from the run's surroundings, so that a test can hand it its own.
struct Surroundings {
    QString programFolder;  // the executable's folder
    QString dataHome;       // $XDG_DATA_HOME as set: empty or relative means unset
    QString home;           // $HOME
    QString selvaneHome;    // $SELVANE_HOME: where her portable Selvane was installed, if not ~/Selvane

    static Surroundings ofThisRun();
};

// The folder of her diary, its backups/, the recovery file and the temporary files of its writes.
QString folderFor(Build build, const Surroundings& around);

// The folder of what the program reads besides her files (the help document).
QString sharedFilesFolder(Build build, const QString& programFolder);

// Where a portable Selvane kept her diary, in the order they are looked at: $SELVANE_HOME, then ~/Selvane.
QStringList earlierFolders(const Surroundings& around);

// The earlier folder to offer to copy her diary in from: only an installed program, only when its own folder
// holds no diary and the offer was never made, and only a folder that holds one.
std::optional<QString> moveInSource(Build build, const Surroundings& around, bool offeredBefore);

// Makes folder and whatever of its parents is missing, owner-only; an existing folder stays as it is.
Result<void> make(const QString& folder);

}  // namespace diaryfolder
