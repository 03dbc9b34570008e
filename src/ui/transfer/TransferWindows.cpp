#include "ui/transfer/TransferWindows.h"

#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"
#include "platform/ui/Dialogs.h"
#include "transfer/Import.h"
#include "transfer/ImportCheck.h"
#include "transfer/RestorePreview.h"
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
const QString kBackingUp = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟしています…");
const QStringList kExportFilters = {QStringLiteral("Selvane CSV (*.csv)"),
                                    QStringLiteral("drip CSV (*.csv)")};

QString dataPath(const Services& services) { return paths::inFolder(services.appFolder, kDataFileName); }
QString backupFolder(const Services& services) { return transfer::backupFolderBeside(dataPath(services)); }
// Backups are named by the day the program runs on (injected in tests) and the time of day.
QDateTime now(const Services& services) { return QDateTime(services.today(), QTime::currentTime()); }

void warn(const Services& services, QWidget* parent, const QString& text, const QString& title) {
    services.dialogs->message(parent, text, title, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

// The open diary, or why there is none.
Result<DataFile*> opened(DataFile* db) {
    return attempt([db] { return &requireOpen(db); });
}

// Sealed backups count in the rotation when they open with the diary's key; nothing is asked.
std::unique_ptr<DataFile> withDiaryKey(DataFile& diary, const QString& path, bool) {
    return vault::openSealedCopy(path, vault::lockedStore(&diary), {});
}

// A sealed backup is looked into with the diary's key only: the list asks for no passphrase.
std::optional<Result<DiarySpan>> lookInto(DataFile* db, const QString& path,
                                          const transfer::SealedReader& sealed) {
    try {
        if (const auto opened = sealed && db ? sealed(*db, path, false) : nullptr)
            return opened->inspect(false);
    } catch (const PgError&) {
        return std::nullopt;  // sealed with another passphrase, or damaged: told when she chooses it
    }
    return DataFile::inspectFile(path, false);
}

// The columns of a backup in the restore list, tab-separated: when and why it was made, how many days it
// holds and its latest day, every date as the window writes it.
QString listLine(const transfer::Backup& entry, DataFile* db, const transfer::SealedReader& sealed) {
    const std::optional<Result<DiarySpan>> looked = lookInto(db, entry.path, sealed);
    QString line = jatext::kanjiDate(entry.made.date()) + entry.made.toString(QStringLiteral(" HH:mm:ss\t")) +
                   transfer::reasonText(entry.reason) + u'\t';
    if (!looked) return line + QStringLiteral("（暗号化されています）");
    if (!*looked) return line + QStringLiteral("（読めません）");
    const DiarySpan& look = looked->value();
    line += QStringLiteral("%1日分").arg(look.days);
    const QDate last = jatext::readIsoDate(look.lastDay);
    if (last.isValid()) line += QStringLiteral("\t最新の日 ") + jatext::kanjiDate(last);
    return line;
}

// What the restore would change, in lines for her question; empty when the backup cannot be read without a
// passphrase or at all (the restore then asks or says why).
QString previewLines(DataFile* db, const QString& path, const transfer::SealedReader& sealed) {
    if (!db) return {};
    try {
        std::unique_ptr<DataFile> backup = sealed ? sealed(*db, path, false) : nullptr;
        if (!backup) {
            Result<std::unique_ptr<DataFile>> copy = DataFile::openCopy(path);
            if (!copy) return {};
            backup = std::move(copy).value();
        }
        const transfer::RestorePreview preview = transfer::previewRestore(*db, *backup);
        return QStringLiteral(
                   "戻すと：\r　加わる日（ﾊﾞｯｸｱｯﾌﾟにだけある日）：%1日\r"
                   "　なくなる日（今の日記にだけある日）：%2日\r"
                   "　内容の変わる日：%3日\r")
            .arg(preview.added)
            .arg(preview.removed)
            .arg(preview.changed);
    } catch (const PgError&) {
        return {};
    }
}

// An import run from the window: she decides on each summary in a dialog, and its long steps show their way.
class WindowImport : public transfer::ImportFront {
  public:
    WindowImport(const Services& services, QWidget* parent, QString fileName,
                 const transfer::ImportFile& file)
        : services_(services), parent_(parent), fileName_(std::move(fileName)), file_(file) {}

    std::optional<transfer::ImportChoice> decide(const transfer::ImportPlan& plan) override {
        const QString notes = transfer::importNotes(file_).join(u'\r');
        const QString text =
            note_ +
            QStringLiteral("%1（%2、%3）\r\r")
                .arg(fileName_,
                     file_.format == transfer::CsvFormat::Drip ? QStringLiteral("drip の形式")
                                                               : QStringLiteral("Selvane の形式"),
                     file_.encoding) +
            QStringLiteral("新しい日：%1日\r内容の同じ日：%2日\r内容の違う日：%3日\r")
                .arg(plan.fresh.size())
                .arg(plan.identical)
                .arg(plan.different.size()) +
            (notes.isEmpty() ? QString() : notes + QStringLiteral("\r")) + QStringLiteral("\r");
        if (plan.different.empty()) {
            if (!services_.dialogs->choose(parent_, text + QStringLiteral("読み込みますか？"), kImportTitle,
                                           {}))
                return std::nullopt;
            return transfer::ImportChoice::all(plan, false);
        }
        // Every day that differs, hers beside the file's, for her to take the file's day by day or all at
        // once.
        std::vector<Dialogs::Difference> days;
        days.reserve(plan.different.size());
        for (const transfer::DifferentDay& day : plan.different)
            days.push_back(
                {jatext::slashDate(day.file.date) + u'(' + jatext::weekdayShort(day.file.date) + u')',
                 transfer::differingFields(day.hers, day.file)});
        const std::optional<std::vector<bool>> ticked = services_.dialogs->compare(
            parent_,
            text + QStringLiteral("内容の違う日のうち、ﾌｧｲﾙのﾃﾞｰﾀにする日にﾁｪｯｸを入れて下さい"
                                  "（ﾁｪｯｸのない日は自分のﾃﾞｰﾀを残します）。"),
            kImportTitle,
            {QStringLiteral("日付・項目"), QStringLiteral("自分のﾃﾞｰﾀ"), QStringLiteral("ﾌｧｲﾙのﾃﾞｰﾀ")}, days);
        if (!ticked) return std::nullopt;
        return transfer::ImportChoice{*ticked};
    }
    bool planAgain() override {
        // The summary she decides on is made again: a plan made on an older diary could add a day twice.
        note_ = QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更されたので、数え直しました。\r\r");
        return true;
    }
    DataFile::Progress begin(transfer::ImportStep step) override {
        step_ = step;
        const bool writing = step == transfer::ImportStep::Writing;
        auto view = std::make_shared<TransferProgress>(
            parent_, writing ? QStringLiteral("読み込んでいます…") : kBackingUp, writing);
        return [view, report = view->callback()](qint64 done, qint64 total) { return report(done, total); };
    }
    // Whether the import failed for want of its backup.
    bool failedAtBackup() const { return step_ == transfer::ImportStep::BackingUp; }

  private:
    const Services& services_;
    QWidget* parent_;
    QString fileName_;
    const transfer::ImportFile& file_;
    QString note_;
    std::optional<transfer::ImportStep> step_;
};

}  // namespace

void exportAll(const Services& services, QWidget* parent, DataFile* db) {
    // A diary kept sealed leaves it only in plain text, and only once she has read so.
    if (db && db->store() &&
        services.dialogs->message(parent, transfer::kNotSealedWarning + QStringLiteral("\r書き出しますか？"),
                                  kExportTitle, Dialogs::Icon::Exclamation,
                                  Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    const QString proposed = paths::inFolder(
        services.appFolder,
        QStringLiteral("selvane-") + jatext::compactDate(services.today()) + QStringLiteral(".csv"));
    const auto chosen = services.dialogs->chooseFile(parent, {kExportTitle, kExportFilters, proposed, true});
    if (!chosen || chosen->path.isEmpty()) return;
    if (transfer::refusedTarget(chosen->path, dataPath(services))) {
        warn(services, parent, QStringLiteral("そこには書き出せません。別のﾌｧｲﾙ名を選んでください。"),
             kExportTitle);
        return;
    }
    const QFileInfo target(chosen->path);
    if ((target.exists() || target.isSymLink()) &&
        !services.dialogs->askYesNo(parent, QStringLiteral("上書きしますか？"), QStringLiteral("上書き確認")))
        return;
    const bool drip = chosen->filter == 1;
    const Result<transfer::ExportSummary> written = [&]() -> Result<transfer::ExportSummary> {
        TransferProgress progress(parent, QStringLiteral("書き出しています…"), false);
        const Result<DataFile*> diary = opened(db);
        if (!diary) return diary.failure();
        return transfer::exportDiary(*diary.value(), chosen->path,
                                     drip ? transfer::CsvFormat::Drip : transfer::CsvFormat::Selvane,
                                     services.today(), progress.callback());
    }();
    if (!written) {
        // Stopped by her (the progress window closed): nothing was written, and nothing more is said.
        if (!written.failure().cancelled)
            services.dialogs->plain(parent, QStringLiteral("書き出せませんでした。\r") + written.message());
        return;
    }
    QString done = transfer::exportedText(written.value());
    for (const QString& line : transfer::leftOutTexts(written.value())) done += u'\r' + line;
    if (drip && written->days > 0)
        done += QStringLiteral("\r（drip の形式では、体調・薬・予定・日記は一つのﾒﾓになります）");
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
        warn(services, parent,
             QStringLiteral("ﾌｧｲﾙを開けません。\r") + systemtext::inJapanese(file.errorString()),
             kImportTitle);
        return false;
    }
    const Result<transfer::ImportFile> read = [&] {
        TransferProgress progress(parent, QStringLiteral("ﾌｧｲﾙを調べています…"), true);
        return transfer::checkImport(file.readAll(), progress.callback());
    }();
    if (!read) {
        if (!read.failure().cancelled)
            warn(services, parent,
                 QStringLiteral("このﾌｧｲﾙは読み込めません。日記は変わっていません。\r") + read.message(),
                 kImportTitle);
        return false;
    }
    WindowImport front(services, parent, QFileInfo(chosen->path).fileName(), read.value());
    const Result<DataFile*> diary = opened(db);
    const Result<transfer::Imported> imported =
        diary ? transfer::importDays(*diary.value(), read->days, dataPath(services), now(services),
                                     withDiaryKey, front, read->marks)
              : diary.failure();
    if (!imported) {
        warn(services, parent,
             front.failedAtBackup()
                 ? QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作れなかったので、読み込みをやめました。\r") + imported.message()
                 : QStringLiteral("読み込めませんでした。日記は変わっていません。\r") + imported.message(),
             kImportTitle);
        return false;
    }
    switch (imported->end) {
        case transfer::Imported::End::Declined:
            return false;
        case transfer::Imported::End::NothingToWrite:
            services.dialogs->plain(parent, QStringLiteral("書き込むものはありません。"));
            return false;
        case transfer::Imported::End::Cancelled:
            services.dialogs->plain(parent,
                                    QStringLiteral("読み込みを取り消しました。日記は変わっていません。"));
            return false;
        case transfer::Imported::End::Written:
            break;
    }
    services.dialogs->plain(parent, QStringLiteral("%1日分を読み込みました。").arg(imported->days));
    return true;
}

bool restoreBackup(const Services& services, QWidget* parent, DataFile* db,
                   const transfer::SealedReader& sealed) {
    const std::vector<transfer::Backup> entries = transfer::listBackups(backupFolder(services));
    if (entries.empty()) {
        services.dialogs->plain(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟがありません。"));
        return false;
    }
    QStringList lines;
    for (const transfer::Backup& entry : entries) lines.append(listLine(entry, db, sealed));
    const std::optional<int> choice = services.dialogs->choose(
        parent, QStringLiteral("戻すﾊﾞｯｸｱｯﾌﾟを選んで下さい（新しい順）。"), kRestoreTitle, lines);
    if (!choice || *choice < 0 || size_t(*choice) >= entries.size()) return false;
    const transfer::Backup& chosen = entries[size_t(*choice)];
    if (!services.dialogs->askYesNo(
            parent,
            QStringLiteral(
                "今の日記を %1 のﾊﾞｯｸｱｯﾌﾟの内容に置き換えます。\r%2今の日記はその前にﾊﾞｯｸｱｯﾌﾟします。\r"
                "よろしいですか？")
                .arg(jatext::kanjiDate(chosen.made.date()) + chosen.made.toString(QStringLiteral(" HH:mm")),
                     previewLines(db, chosen.path, sealed)),
            kRestoreTitle))
        return false;
    const Result<void> restored = [&]() -> Result<void> {
        TransferProgress progress(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しています…"), false);
        const Result<DataFile*> diary = opened(db);
        if (!diary) return diary.failure();
        return transfer::restoreBackup(*diary.value(), chosen.path, backupFolder(services), now(services),
                                       progress.callback(), sealed);
    }();
    if (!restored) {
        warn(services, parent,
             QStringLiteral("戻せませんでした。日記は変わっていません。\r") + restored.message(),
             kRestoreTitle);
        return false;
    }
    transfer::rotateBackups(*db, backupFolder(services), services.today(), withDiaryKey);
    services.dialogs->plain(parent, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しました。"));
    return true;
}

bool backupBeforePurge(const Services& services, QWidget* parent, DataFile* db) {
    const Result<DataFile*> diary = opened(db);
    if (!diary) {
        services.dialogs->plain(parent, diary.message());
        return false;
    }
    const Result<QString> made = [&] {
        TransferProgress progress(parent, kBackingUp, false);
        return transfer::backUp(*diary.value(), dataPath(services), QString(), transfer::BackupReason::Purge,
                                now(services), progress.callback(), withDiaryKey);
    }();
    if (!made) {
        warn(services, parent,
             QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作れなかったので、ﾒﾝﾃﾅﾝｽをやめました。\r") + made.message(),
             QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ"));
        return false;
    }
    return true;
}

void backupAfterSave(const Services& services, QWidget* parent, DataFile* db, bool* reported) {
    if (!db || transfer::backupMadeOn(backupFolder(services), services.today(), transfer::BackupReason::Save))
        return;
    const Result<QString> made = transfer::backUp(
        *db, dataPath(services), QString(), transfer::BackupReason::Save, now(services), {}, withDiaryKey);
    if (made || *reported) return;
    *reported = true;
    warn(services, parent,
         QStringLiteral("ﾃﾞｰﾀは登録しましたが、今日のﾊﾞｯｸｱｯﾌﾟを作れませんでした。\r") + made.message(),
         QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ"));
}

}  // namespace transferui
