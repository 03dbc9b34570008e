#include "settings/Purge.h"

#include "data/DataFile.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"

namespace purge {

QString question(const QDate& day) {
    return jatext::kanjiDate(day) +
           QStringLiteral("以前のﾃﾞｰﾀは完全に消去されます。\r続けますか？\r(この操作は元に戻せません)");
}

bool confirmAndPurge(Dialogs& dialogs, QWidget* parent, DataFile* db, const QDate& day, float averageTemp,
                     const std::function<bool()>& beforePurge) {
    if (!dialogs.askYesNo(parent, question(day), kTitle)) return false;
    if (beforePurge && !beforePurge()) return false;
    try {
        DataFile& file = requireOpen(db);
        DayEntry fresh;
        fresh.date = day;
        fresh.tempText = jatext::shortestText(averageTemp);
        file.purgeThrough(day, fresh);
    } catch (const PgError& error) {
        if (!error.shown()) dialogs.plain(parent, error.description());
        return false;
    }
    // Told only once the deletion and the fresh record are both on disk.
    dialogs.plain(parent, kDone);
    return true;
}

}  // namespace purge
