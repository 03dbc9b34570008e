#include "transfer/RestorePreview.h"

#include "transfer/ImportPlan.h"

#include <QHash>
#include <QSet>

namespace transfer {

RestorePreview previewRestore(DataFile& diary, DataFile& backup) {
    // Each day's first row in the file's order is the one the main window shows.
    QHash<QString, StoredRow> hers;
    diary.forEachRow([&hers](const StoredRow& row) {
        if (!hers.contains(row.date)) hers.insert(row.date, row);
        return true;
    });
    RestorePreview preview;
    QSet<QString> seen;
    backup.forEachRow([&](const StoredRow& row) {
        if (seen.contains(row.date)) return true;
        seen.insert(row.date);
        const auto mine = hers.constFind(row.date);
        if (mine == hers.cend())
            ++preview.added;
        else if (sameDay(*mine, recordOf(row)))
            ++preview.same;
        else
            ++preview.changed;
        return true;
    });
    preview.removed = qint64(hers.size()) - preview.same - preview.changed;
    return preview;
}

}  // namespace transfer
