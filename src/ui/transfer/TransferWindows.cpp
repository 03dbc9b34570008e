#include "ui/transfer/TransferWindows.h"

#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "transfer/Backups.h"
#include "transfer/CommandLine.h"
#include "transfer/ImportCheck.h"
#include "transfer/ImportPlan.h"
#include "transfer/WholeExport.h"
#include "ui/transfer/TransferProgress.h"
#include "vault/LockedDiary.h"

#include <QFile>
#include <QFileInfo>

namespace transferui {
namespace {

const QString kExportTitle = QStringLiteral("全ﾃﾞｰﾀの書き出し");
const QString kImportTitle = QStringLiteral("ﾃﾞｰﾀの読み込み");
const QString kRestoreTitle = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻す");
const QStringList kExportFilters = {QStringLiteral("Selvane CSV (*.csv)"),
                                    QStringLiteral("drip CSV (*.csv)")};

QString dataPath(const Services& services) { return paths::inFolder(services.appFolder, kDataFileName); }
QString backupFolder(const Services& services) { return backups::folderBeside(dataPath(services)); }
// Backups are named by the day the program runs on (injected in tests) and the time of day.
QDateTime now(const Services& services) { return QDateTime(services.today(), QTime::currentTime()); }

void warn(const Services& services, QWidget* parent, const QString& text, const QString& title) {
    services.dialogs->message(parent, text, title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

// A backup before work that changes the whole diary; false (and the reason shown) when none could be made.
bool backupBefore(const Services& services, QWidget* parent, DataFile& db, backups::Reason reason,
                  const QString& stopped, const QString& title) {
    try {
        TransferProgress progress(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟしています…"), false);
        backups::make(db, backupFolder(services), reason, now(services), progress.callback());
        return true;
    } catch (const PgError& error) {
        warn(services, parent,
             QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作れなかったので、%1をやめました。\r").arg(stopped) +
                 error.description(),
             title);
        return false;
    }
}

// Sealed backups count when they open with the diary's key; nothing is asked.
void rotateQuietly(const Services& services, DataFile* db) {
    if (!db) return;
    backups::rotate(*db, backupFolder(services), services.today(),
                    [](DataFile& diary, const QString& path, bool) {
                        return vault::openSealedCopy(path, vault::lockedStore(&diary), {});
                    });
}

// A sealed backup is looked into with the diary's key only: the list asks for no passphrase.
std::optional<Result<DiarySpan>> lookInto(DataFile* db, const QString& path,
                                          const backups::SealedReader& sealed) {
    try {
        if (const auto opened = sealed && db ? sealed(*db, path, false) : nullptr)
            return opened->inspect(false);
    } catch (const PgError&) {
        return std::nullopt;  // sealed with another passphrase, or damaged: told when she chooses it
    }
    return DataFile::inspectFile(path, false);
}

QString listLine(const backups::Entry& entry, DataFile* db, const backups::SealedReader& sealed) {
    const std::optional<Result<DiarySpan>> looked = lookInto(db, entry.path, sealed);
    QString line = jatext::kanjiDate(entry.made.date()) + entry.made.toString(QStringLiteral(" HH:mm:ss　")) +
                   backups::reasonText(entry.reason) + QStringLiteral("　");
    if (!looked) return line + QStringLiteral("（暗号化されています）");
    if (!*looked) return line + QStringLiteral("（読めません）");
    const DiarySpan& look = looked->value();
    line += QStringLiteral("%1日分").arg(look.days);
    if (!look.lastDay.isEmpty()) line += QStringLiteral("　最新の日 ") + look.lastDay;
    return line;
}

}  // namespace

void exportAll(const Services& services, QWidget* parent, DataFile* db) {
    // A diary kept sealed leaves it only in plain text, and only once she has read so.
    if (db && db->store() &&
        services.dialogs->message(
            parent, wholeexport::kNotSealedWarning + QStringLiteral("\r書き出しますか？"), kExportTitle,
            Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    const QString proposed = paths::inFolder(
        services.appFolder,
        QStringLiteral("selvane-") + jatext::compactDate(services.today()) + QStringLiteral(".csv"));
    const auto chosen = services.dialogs->chooseFile(parent, {kExportTitle, kExportFilters, proposed, true});
    if (!chosen || chosen->path.isEmpty()) return;
    const QFileInfo target(chosen->path);
    if (target.isDir() || wholeexport::isDataFile(chosen->path, dataPath(services))) {
        warn(services, parent, QStringLiteral("そこには書き出せません。別のﾌｧｲﾙ名を選んでください。"),
             kExportTitle);
        return;
    }
    if ((target.exists() || target.isSymLink()) &&
        !services.dialogs->askYesNo(parent, QStringLiteral("上書きしますか？"), QStringLiteral("上書き確認")))
        return;
    const bool drip = chosen->filter == 1;
    wholeexport::Outcome outcome;
    try {
        TransferProgress progress(parent, QStringLiteral("書き出しています…"), false);
        outcome = wholeexport::write(requireOpen(db), chosen->path,
                                     drip ? diarycsv::Format::Drip : diarycsv::Format::Selvane,
                                     progress.callback());
    } catch (const PgError& error) {
        outcome.error = error.description();
    }
    if (!outcome.error.isEmpty()) {
        services.dialogs->plain(parent, QStringLiteral("書き出せませんでした。\r") + outcome.error);
        return;
    }
    QString done = QStringLiteral("%1日分を書き出しました。").arg(outcome.rows);
    if (drip) done += QStringLiteral("\r（drip の形式では、体調・薬・予定・日記は一つのﾒﾓになります）");
    services.dialogs->plain(parent, done);
}

bool importFile(const Services& services, QWidget* parent, DataFile* db) {
    const auto chosen = services.dialogs->chooseFile(
        parent, {kImportTitle,
                 {QStringLiteral("CSV ﾌｧｲﾙ (*.csv)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")},
                 services.appFolder,
                 false});
    if (!chosen || chosen->path.isEmpty()) return false;
    QFile file(chosen->path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(services, parent, QStringLiteral("ﾌｧｲﾙを開けません。\r") + file.errorString(), kImportTitle);
        return false;
    }
    importcheck::Result read;
    {
        TransferProgress progress(parent, QStringLiteral("ﾌｧｲﾙを調べています…"), true);
        read = importcheck::check(file.readAll(), progress.callback());
    }
    if (read.cancelled) return false;
    if (!read.ok) {
        warn(services, parent,
             QStringLiteral("このﾌｧｲﾙは読み込めません。日記は変わっていません。\r") + read.lineProblem(),
             kImportTitle);
        return false;
    }
    try {
        DataFile& data = requireOpen(db);
        bool backedUp = false;
        QString note;
        // The summary she decides on is made again whenever another program changed her diary meanwhile:
        // a plan made on an older diary could add a day twice.
        for (;;) {
            const importplan::Plan plan = importplan::make(data, read.days);
            const bool differ = !plan.different.empty();
            const QString implausible = importcheck::implausibleText(read.implausible);
            const QString text =
                note +
                QStringLiteral("%1（%2、%3）\r\r")
                    .arg(QFileInfo(chosen->path).fileName(),
                         read.format == diarycsv::Format::Drip ? QStringLiteral("drip の形式")
                                                               : QStringLiteral("Selvane の形式"),
                         read.encoding) +
                QStringLiteral("新しい日：%1日\r同じ日：%2日\r内容の違う日：%3日\r")
                    .arg(plan.fresh.size())
                    .arg(plan.identical)
                    .arg(plan.different.size()) +
                (implausible.isEmpty() ? QString() : implausible + QStringLiteral("\r")) +
                QStringLiteral("\r") +
                (differ ? QStringLiteral("内容の違う日はどちらにしますか？")
                        : QStringLiteral("読み込みますか？"));
            const QStringList options =
                differ ? QStringList{QStringLiteral("自分のﾃﾞｰﾀを残す"), QStringLiteral("ﾌｧｲﾙのﾃﾞｰﾀにする")}
                       : QStringList{};
            const std::optional<int> choice = services.dialogs->choose(parent, text, kImportTitle, options);
            if (!choice) return false;
            const bool takeFile = differ && *choice == 1;
            if (plan.fresh.empty() && !takeFile) {
                services.dialogs->plain(parent, QStringLiteral("書き込むものはありません。"));
                return false;
            }
            if (!backedUp && !backupBefore(services, parent, data, backups::Reason::Import,
                                           QStringLiteral("読み込み"), kImportTitle))
                return false;
            backedUp = true;
            DataFile::ImportResult applied = DataFile::ImportResult::Cancelled;
            {
                TransferProgress progress(parent, QStringLiteral("読み込んでいます…"), true);
                applied = importplan::apply(data, plan, takeFile, progress.callback());
            }
            if (applied == DataFile::ImportResult::Changed) {
                note = QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更されたので、数え直しました。\r\r");
                continue;
            }
            if (applied == DataFile::ImportResult::Cancelled) {
                services.dialogs->plain(parent,
                                        QStringLiteral("読み込みを取り消しました。日記は変わっていません。"));
                return false;
            }
            rotateQuietly(services, db);
            services.dialogs->plain(
                parent, QStringLiteral("%1日分を読み込みました。")
                            .arg(qint64(plan.fresh.size()) + (takeFile ? qint64(plan.different.size()) : 0)));
            return true;
        }
    } catch (const PgError& error) {
        warn(services, parent,
             QStringLiteral("読み込めませんでした。日記は変わっていません。\r") + error.description(),
             kImportTitle);
        return false;
    }
}

bool restoreBackup(const Services& services, QWidget* parent, DataFile* db,
                   const backups::SealedReader& sealed) {
    const std::vector<backups::Entry> entries = backups::list(backupFolder(services));
    if (entries.empty()) {
        services.dialogs->plain(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟがありません。"));
        return false;
    }
    QStringList lines;
    for (const backups::Entry& entry : entries) lines.append(listLine(entry, db, sealed));
    const std::optional<int> choice = services.dialogs->choose(
        parent, QStringLiteral("戻すﾊﾞｯｸｱｯﾌﾟを選んでください（新しい順）。"), kRestoreTitle, lines);
    if (!choice || *choice < 0 || size_t(*choice) >= entries.size()) return false;
    const backups::Entry& chosen = entries[size_t(*choice)];
    if (!services.dialogs->askYesNo(
            parent,
            QStringLiteral(
                "今の日記を %1 "
                "のﾊﾞｯｸｱｯﾌﾟの内容に置き換えます。\r今の日記はその前にﾊﾞｯｸｱｯﾌﾟします。\rよろしいですか？")
                .arg(jatext::kanjiDate(chosen.made.date()) + chosen.made.toString(QStringLiteral(" HH:mm"))),
            kRestoreTitle))
        return false;
    try {
        TransferProgress progress(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しています…"), false);
        backups::restore(requireOpen(db), chosen.path, backupFolder(services), now(services),
                         progress.callback(), sealed);
    } catch (const PgError& error) {
        warn(services, parent,
             QStringLiteral("戻せませんでした。日記は変わっていません。\r") + error.description(),
             kRestoreTitle);
        return false;
    }
    rotateQuietly(services, db);
    services.dialogs->plain(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しました。"));
    return true;
}

bool backupBeforePurge(const Services& services, QWidget* parent, DataFile* db) {
    try {
        if (!backupBefore(services, parent, requireOpen(db), backups::Reason::Purge, QStringLiteral("ﾒﾝﾃﾅﾝｽ"),
                          QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ")))
            return false;
    } catch (const PgError& error) {
        services.dialogs->plain(parent, error.description());
        return false;
    }
    rotateQuietly(services, db);
    return true;
}

void backupAfterSave(const Services& services, QWidget* parent, DataFile* db, bool* reported) {
    if (!db || backups::madeOn(backupFolder(services), services.today(), backups::Reason::Save)) return;
    try {
        backups::make(*db, backupFolder(services), backups::Reason::Save, now(services));
        rotateQuietly(services, db);
    } catch (const PgError& error) {
        if (*reported) return;
        *reported = true;
        warn(services, parent,
             QStringLiteral("ﾃﾞｰﾀは登録しましたが、今日のﾊﾞｯｸｱｯﾌﾟを作れませんでした。\r") +
                 error.description(),
             QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ"));
    }
}

}  // namespace transferui
