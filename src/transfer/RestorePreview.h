#pragma once

#include "data/DataFile.h"

// What putting a backup back would do to her diary, day by day as the main window shows them, for her to see
// before she agrees.
namespace transfer {

struct RestorePreview {
    qint64 added = 0;    // days the backup has and the diary has not
    qint64 removed = 0;  // days the diary has and the backup has not
    qint64 changed = 0;  // days both have, with another content (the mark of a disturbed reading counts)
    qint64 same = 0;
};

// Compares the diary with a backup opened for reading.
RestorePreview previewRestore(DataFile& diary, DataFile& backup);

}  // namespace transfer
