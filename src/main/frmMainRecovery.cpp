// Edits kept from a session that ended without the closing questions: at the next start, before anything
// else, she decides whether they go to their day.
#include "data/Recovery.h"
#include "main/frmMain.h"
#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "vault/LockedDiary.h"

#include <QFile>

namespace {

// A locked diary's edits were sealed with its key; a plain diary's are plain.
std::optional<DayEntry> readRecovered(const QString& path, DataFile* db) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (!vault::looksLocked(bytes)) return recovery::decode(bytes);
    vault::Image plain;
    const vault::LockedStore* locked = vault::lockedStore(db);
    if (!locked || locked->unsealCopy(bytes, &plain) != vault::Fault::None) return std::nullopt;
    return recovery::decode(plain.view().toByteArray());
}

}  // namespace

void frmMain::offerRecoveredEdits() {
    const QString path = paths::inFolder(services_.appFolder, recovery::kFileName);
    if (!paths::occupied(path)) return;
    const std::optional<DayEntry> recovered = readRecovered(path, m_.Db.get());
    if (!recovered) {
        services_.dialogs->message(this,
                                   QStringLiteral("保存されていない編集を読み込めません。\r%1").arg(path),
                                   kAppTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    const QString question =
        QStringLiteral("%1のﾃﾞｰﾀに、保存されずに終了した編集が残っています。\r保存しますか？")
            .arg(jatext::kanjiDate(recovered->date));
    // Saved as any save is, overwrite question and all; a save that failed keeps them for the next start.
    if (services_.dialogs->askYesNo(this, question, QStringLiteral("保存確認"))) {
        const SaveResult result = saveEntry(*recovered);
        if (result == SaveResult::Failed) return;
        if (result == SaveResult::Saved) backupAfterSave();
    }
    QFile::remove(path);
}
