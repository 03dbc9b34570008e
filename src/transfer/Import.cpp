#include "transfer/Import.h"

#include "platform/core/PgError.h"

namespace transfer {

Result<Imported> importDays(DataFile& db, const std::vector<DayRecord>& days, const QString& dataPath,
                            const QDateTime& now, const SealedReader& sealed, ImportFront& front,
                            bool marks) {
    const QString folder = backupFolderBeside(dataPath);
    return attempt([&]() -> Imported {
        bool backedUp = false;
        for (;;) {
            const ImportPlan plan = planImport(db, days, marks);
            const std::optional<ImportChoice> choice = front.decide(plan);
            if (!choice) return {Imported::End::Declined};
            const qint64 taken = choice->taken();
            if (plan.fresh.empty() && taken == 0) return {Imported::End::NothingToWrite};
            if (!backedUp) {
                const Result<QString> backup =
                    makeBackup(db, folder, BackupReason::Import, now, front.begin(ImportStep::BackingUp));
                if (!backup) throw backup.failure().error();
                backedUp = true;
            }
            const DataFile::ImportResult applied =
                applyImport(db, plan, *choice, front.begin(ImportStep::Writing));
            if (applied == DataFile::ImportResult::Cancelled) return {Imported::End::Cancelled};
            if (applied == DataFile::ImportResult::Changed) {
                if (!front.planAgain())
                    throw PgError::engine(QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更され続けています。"));
                continue;
            }
            rotateBackups(db, folder, now.date(), sealed);
            return {Imported::End::Written, qint64(plan.fresh.size()) + taken};
        }
    });
}

}  // namespace transfer
