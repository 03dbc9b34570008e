#pragma once

#include "transfer/Backups.h"
#include "transfer/ImportPlan.h"

#include <optional>

namespace transfer {

// The steps of an import that take long enough to show their way.
enum class ImportStep { BackingUp, Writing };

// What differs between the window and the command line running an import: how she decides on its summary,
// and how its work shows its way.
class ImportFront {
  public:
    virtual ~ImportFront() = default;
    // The summary of what the import would write: her choice for the days that differ, or nothing to stop.
    virtual std::optional<ImportChoice> decide(const ImportPlan& plan) = 0;
    // Another program changed her diary between the summary and the write: true to make the summary again.
    virtual bool planAgain() = 0;
    // A step begins: how far it has come goes to the progress returned, held while the step runs (empty: not
    // shown). A failure the import returns is that of the last step begun (before any: of the summary).
    virtual DataFile::Progress begin(ImportStep step) = 0;
};

struct Imported {
    enum class End { Written, NothingToWrite, Declined, Cancelled };
    End end = End::Written;
    qint64 days = 0;  // written
};

// The import of a checked file's days into her diary at dataPath, from the window or the command line: the
// summary decided on, a backup beside the diary first, then everything in one transaction (planned again
// whenever another program changed her diary meanwhile: never a day twice), and the backups rotated after
// it. Why not, when nothing has changed.
Result<Imported> importDays(DataFile& db, const std::vector<DayRecord>& days, const QString& dataPath,
                            const QDateTime& now, const SealedReader& sealed, ImportFront& front,
                            bool marks = true);

}  // namespace transfer
