// The whole diary in and out from the command line: export, import, backup, restore and the check.
#include "cli/TransferCommands.h"
#include "cli/CliPaths.h"
#include "cli/SyncRecording.h"

#include "transfer/Import.h"
#include "transfer/ImportCheck.h"
#include "transfer/WholeExport.h"

#include <QDir>
#include <QFile>

namespace cli {
namespace {

const QCommandLineOption kExport(QStringLiteral("export"),
                                 QStringLiteral("日記の全ﾃﾞｰﾀを CSV ﾌｧｲﾙに書き出します。"),
                                 QStringLiteral("FILE"));
const QCommandLineOption kFormat(QStringLiteral("format"),
                                 QStringLiteral("書き出す形式：selvane（既定）または drip。"),
                                 QStringLiteral("selvane|drip"));
const QCommandLineOption kImport(QStringLiteral("import"),
                                 QStringLiteral("CSV ﾌｧｲﾙ（Selvane または drip の形式）を読み込みます。"),
                                 QStringLiteral("FILE"));
const QCommandLineOption kOnConflict(
    QStringLiteral("on-conflict"),
    QStringLiteral("内容の違う日：keep は自分のﾃﾞｰﾀを残し（既定）、replace はﾌｧｲﾙのﾃﾞｰﾀにします。"),
    QStringLiteral("keep|replace"));
const QCommandLineOption kBackup(
    QStringLiteral("backup"),
    QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作ります（後にﾌｫﾙﾀﾞを書くとそこへ。既定はﾃﾞｰﾀﾌｧｲﾙの横の backups）。"));
const QCommandLineOption kRestore(
    QStringLiteral("restore"), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから日記を戻します（今の日記はﾊﾞｯｸｱｯﾌﾟしてから）。"),
    QStringLiteral("FILE"));
const QCommandLineOption kCheck(
    QStringLiteral("check"),
    QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを検査し、記録のある日数と最初と最後の日を表示します。"));

constexpr int kMostAttempts = 5;  // plans made again after another program's change, before giving up

// An import run from the command line: the choice for differing days is given beforehand; the summary is
// printed once, and again only when nothing is left to write.
class CommandLineImport : public transfer::ImportFront {
  public:
    CommandLineImport(QTextStream& err, bool replace, QStringList notes)
        : err_(err), replace_(replace), notes_(std::move(notes)) {}

    std::optional<transfer::ImportChoice> decide(const transfer::ImportPlan& plan) override {
        const bool nothing = plan.fresh.empty() && (!replace_ || plan.different.empty());
        if (first_ || nothing) {
            err_ << importSummary(qint64(plan.fresh.size()), plan.identical, qint64(plan.different.size()))
                 << Qt::endl;
            for (const QString& note : notes_) err_ << note << Qt::endl;
        }
        first_ = false;
        return transfer::ImportChoice::all(plan, replace_);
    }
    bool planAgain() override {
        if (++changes_ == kMostAttempts) return false;
        err_ << QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更されたので、数え直します。") << Qt::endl;
        return true;
    }
    DataFile::Progress begin(transfer::ImportStep) override { return {}; }

  private:
    QTextStream& err_;
    bool replace_;
    QStringList notes_;
    bool first_ = true;
    int changes_ = 0;
};

int runExport(const QCommandLineParser& parser, Context& context) {
    const QString format = parser.isSet(kFormat) ? parser.value(kFormat) : QStringLiteral("selvane");
    if (format != u"selvane" && format != u"drip") {
        context.err << QStringLiteral("--format は selvane または drip です。") << Qt::endl;
        return Usage;
    }
    const DiaryAccess access = diaryAccess(context);
    if (access.open)
        context.err << QStringLiteral("注意：") << oneLine(transfer::kNotSealedWarning) << Qt::endl;
    return exportCommand(context.dataPath(), argumentPath(parser.value(kExport)),
                         format == u"drip" ? transfer::CsvFormat::Drip : transfer::CsvFormat::Selvane,
                         context.err, QDate::currentDate(), access);
}

int runImport(const QCommandLineParser& parser, Context& context) {
    const QString policy = parser.isSet(kOnConflict) ? parser.value(kOnConflict) : QStringLiteral("keep");
    if (policy != u"keep" && policy != u"replace") {
        context.err << QStringLiteral("--on-conflict は keep または replace です。") << Qt::endl;
        return Usage;
    }
    return importCommand(context.dataPath(), argumentPath(parser.value(kImport)), policy == u"replace",
                         context.err, QDateTime::currentDateTime(), diaryAccess(context));
}

}  // namespace

QString importSummary(qint64 fresh, qint64 identical, qint64 different) {
    return QStringLiteral("新しい日：%1日　同じ日：%2日　違う日：%3日")
        .arg(fresh)
        .arg(identical)
        .arg(different);
}

Exit exportCommand(const QString& dataPath, const QString& file, transfer::CsvFormat format, QTextStream& err,
                   const QDate& today, const DiaryAccess& access) {
    const std::unique_ptr<DataFile> db = access.openAt(dataPath, err);
    if (!db) return Refused;
    if (transfer::refusedTarget(file, dataPath)) {
        err << QStringLiteral("そこには書き出せません：") << shownPath(file) << Qt::endl;
        return Refused;
    }
    const Result<transfer::ExportSummary> written = transfer::exportDiary(*db, file, format, today);
    if (!written) {
        err << QStringLiteral("書き出せませんでした：") << oneLine(written.message()) << Qt::endl;
        return Refused;
    }
    err << transfer::exportedText(written.value()) << Qt::endl;
    for (const QString& line : transfer::leftOutTexts(written.value())) err << line << Qt::endl;
    return Success;
}

Exit importCommand(const QString& dataPath, const QString& file, bool replace, QTextStream& err,
                   const QDateTime& now, const DiaryAccess& access) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        err << QStringLiteral("ﾌｧｲﾙを開けません：") << shownPath(file) << Qt::endl;
        return Refused;
    }
    // The whole file is checked before the diary is opened (and a locked one's passphrase read).
    const Result<transfer::ImportFile> read = transfer::checkImport(input.readAll());
    if (!read) {
        err << QStringLiteral("読み込めません。日記は変わっていません。") << read.message() << Qt::endl;
        return Refused;
    }
    const std::unique_ptr<DataFile> db = access.openAt(dataPath, err);
    if (!db) return Refused;
    const SyncRecording recording(*db);
    CommandLineImport front(err, replace, transfer::importNotes(read.value()));
    const Result<transfer::Imported> imported =
        transfer::importDays(*db, read->days, dataPath, now, access.sealed, front, read->marks);
    if (!imported) {
        err << QStringLiteral("読み込めませんでした。日記は変わっていません。") << oneLine(imported.message())
            << Qt::endl;
        return Refused;
    }
    if (imported->end == transfer::Imported::End::NothingToWrite) {
        err << QStringLiteral("書き込むものはありません。") << Qt::endl;
        return Success;
    }
    err << (replace ? QStringLiteral("違う日はﾌｧｲﾙのﾃﾞｰﾀにしました。")
                    : QStringLiteral("違う日は自分のﾃﾞｰﾀを残しました。"))
        << Qt::endl;
    return Success;
}

Exit backupCommand(const QString& dataPath, const QString& folder, QTextStream& err, const QDateTime& now,
                   const DiaryAccess& access) {
    const std::unique_ptr<DataFile> db = access.openAt(dataPath, err);
    if (!db) return Refused;
    const Result<QString> made =
        transfer::backUp(*db, dataPath, folder, transfer::BackupReason::Manual, now, {}, access.sealed);
    if (!made) {
        err << oneLine(made.message()) << Qt::endl;
        return Refused;
    }
    err << QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作りました：") << shownPath(made.value()) << Qt::endl;
    return Success;
}

Exit restoreCommand(const QString& dataPath, const QString& backupFile, QTextStream& err,
                    const QDateTime& now, const DiaryAccess& access) {
    // The diary put back over itself would only lock against itself, after one more backup each try.
    if (transfer::isDataFile(backupFile, dataPath)) {
        err << QStringLiteral("日記のﾃﾞｰﾀﾌｧｲﾙそのものからは戻せません。ﾊﾞｯｸｱｯﾌﾟのﾌｧｲﾙを指定して下さい：")
            << shownPath(backupFile) << Qt::endl;
        return Refused;
    }
    const std::unique_ptr<DataFile> db = access.openAt(dataPath, err);
    if (!db) return Refused;
    const SyncRecording recording(*db);
    const Result<void> restored = transfer::restoreBackup(
        *db, backupFile, transfer::backupFolderBeside(dataPath), now, {}, access.sealed);
    if (!restored) {
        err << oneLine(restored.message()) << Qt::endl;
        return Refused;
    }
    err << QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しました。") << Qt::endl;
    return Success;
}

Exit checkCommand(const QString& dataPath, QTextStream& out, QTextStream& err, const DiaryAccess& access) {
    // Which diary, first: an installed program's lies in her data folder, a portable one's beside it.
    out << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ：") << dataPath << Qt::endl;
    // Opened as for every other command, so that what a killed write left in its journal is rolled back
    // first; a locked diary is checked as it lies in memory once opened.
    const std::unique_ptr<DataFile> db = access.openAt(dataPath, err);
    if (!db) return Refused;
    const Result<DiarySpan> checked = db->inspect();
    if (!checked) {
        err << QStringLiteral("検査に通りません：") << oneLine(checked.message()) << Qt::endl;
        return Refused;
    }
    out << QStringLiteral("整合性：ok") << Qt::endl
        << QStringLiteral("記録のある日：%1日").arg(checked->days) << Qt::endl
        << QStringLiteral("最初の日：") << checked->firstDay << Qt::endl
        << QStringLiteral("最後の日：") << checked->lastDay << Qt::endl;
    return Success;
}

std::vector<Command> transferCommands() {
    return {
        {{kExport, kFormat}, 0, runExport},
        {{kImport, kOnConflict}, 0, runImport},
        {{kBackup},
         1,
         [](const QCommandLineParser& parser, Context& context) {
             return int(backupCommand(context.dataPath(), argumentPath(parser.positionalArguments().value(0)),
                                      context.err, QDateTime::currentDateTime(), diaryAccess(context)));
         }},
        {{kRestore},
         0,
         [](const QCommandLineParser& parser, Context& context) {
             return int(restoreCommand(context.dataPath(), argumentPath(parser.value(kRestore)), context.err,
                                       QDateTime::currentDateTime(), diaryAccess(context)));
         }},
        {{kCheck},
         0,
         [](const QCommandLineParser&, Context& context) {
             return int(checkCommand(context.dataPath(), context.out, context.err, diaryAccess(context)));
         }},
    };
}

}  // namespace cli
