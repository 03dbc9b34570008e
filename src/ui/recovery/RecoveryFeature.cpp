#include "ui/recovery/RecoveryFeature.h"

#include "data/Recovery.h"
#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "ui/recovery/KeptEdits.h"

#include <QFile>

namespace recoveryui {

RecoveryFeature::RecoveryFeature(session::FeatureHost& host) : Feature(host) {}

QString RecoveryFeature::path() const {
    return paths::inFolder(host_.services().appFolder, recovery::kFileName);
}

void RecoveryFeature::diaryOpened() {
    const QString kept = path();
    if (!paths::occupied(kept)) return;
    Dialogs& dialogs = *host_.services().dialogs;
    const std::optional<DayEntry> recovered = readKept(kept, host_.module().Db.get());
    if (!recovered) {
        dialogs.message(host_.mainWindow(),
                        QStringLiteral("保存されていない編集を読み込めません。\r%1").arg(kept), kAppTitle,
                        Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    const QString question =
        QStringLiteral("%1のﾃﾞｰﾀに、保存されずに終了した編集が残っています。\r保存しますか？")
            .arg(jatext::kanjiDate(recovered->date));
    // Saved as any save is, overwrite question and all; a save that failed keeps them for the next start.
    if (dialogs.askYesNo(host_.mainWindow(), question, QStringLiteral("保存確認")) &&
        host_.saveEntry(*recovered) == session::SaveResult::Failed)
        return;
    QFile::remove(kept);
}

void RecoveryFeature::keepEdits(const DayEntry& entry) {
    const QString error = keep(host_.module().Db.get(), path(), entry);
    if (!error.isEmpty())
        host_.services().dialogs->message(
            host_.mainWindow(), QStringLiteral("編集を取っておけませんでした。\r") + error,
            QStringLiteral("ｴﾗｰ"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

}  // namespace recoveryui
