#include "transfer/CommandLine.h"

#include "platform/core/PgError.h"
#include "transfer/Backups.h"
#include "transfer/ImportCheck.h"
#include "transfer/ImportPlan.h"
#include "transfer/WholeExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace transfercommands {
namespace {

std::unique_ptr<DataFile> openPlain(const QString& dataPath, QTextStream& err) {
    if (!QFileInfo(dataPath).isFile()) {
        err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません：") << QDir::toNativeSeparators(dataPath) << Qt::endl;
        return nullptr;
    }
    try {
        return DataFile::open(dataPath);
    } catch (const PgError& error) {
        err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを開けません：") << error.description() << Qt::endl;
        return nullptr;
    }
}

std::unique_ptr<DataFile> openData(const QString& dataPath, QTextStream& err, const Access& access) {
    return access.open ? access.open(dataPath, err) : openPlain(dataPath, err);
}

QString oneLine(QString text) { return text.replace(u'\r', u' '); }

constexpr int kMostAttempts = 5;  // plans made again after another program's change, before giving up

}  // namespace

QString importSummary(qint64 fresh, qint64 identical, qint64 different) {
    return QStringLiteral("新しい日：%1日　同じ日：%2日　違う日：%3日")
        .arg(fresh)
        .arg(identical)
        .arg(different);
}

int exportDiary(const QString& dataPath, const QString& file, diarycsv::Format format, QTextStream& err,
                const Access& access) {
    auto db = openData(dataPath, err, access);
    if (!db) return kRefused;
    if (wholeexport::isDataFile(file, dataPath) || QFileInfo(file).isDir()) {
        err << QStringLiteral("そこには書き出せません：") << QDir::toNativeSeparators(file) << Qt::endl;
        return kRefused;
    }
    const wholeexport::Outcome outcome = wholeexport::write(*db, file, format);
    if (!outcome.error.isEmpty()) {
        err << QStringLiteral("書き出せませんでした：") << oneLine(outcome.error) << Qt::endl;
        return kRefused;
    }
    err << QStringLiteral("%1日分を書き出しました。").arg(outcome.rows) << Qt::endl;
    return kDone;
}

int importDiary(const QString& dataPath, const QString& file, bool replace, QTextStream& err,
                const QDateTime& now, const Access& access) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        err << QStringLiteral("ﾌｧｲﾙを開けません：") << QDir::toNativeSeparators(file) << Qt::endl;
        return kRefused;
    }
    const importcheck::Result read = importcheck::check(input.readAll());
    if (!read.ok) {
        err << QStringLiteral("読み込めません。日記は変わっていません。") << read.lineProblem() << Qt::endl;
        return kRefused;
    }
    auto db = openData(dataPath, err, access);
    if (!db) return kRefused;
    try {
        const QString folder = backups::folderBeside(dataPath);
        // Planned again whenever another program changed her diary between the plan and the write.
        for (int attempt = 1;; ++attempt) {
            const importplan::Plan plan = importplan::make(*db, read.days);
            const bool nothing = plan.fresh.empty() && (!replace || plan.different.empty());
            if (nothing || attempt == 1) {
                err << importSummary(qint64(plan.fresh.size()), plan.identical, qint64(plan.different.size()))
                    << Qt::endl;
                if (const QString implausible = importcheck::implausibleText(read.implausible);
                    !implausible.isEmpty())
                    err << implausible << Qt::endl;
            }
            if (nothing) {
                err << QStringLiteral("書き込むものはありません。") << Qt::endl;
                return kDone;
            }
            if (attempt == 1) backups::make(*db, folder, backups::Reason::Import, now);
            const DataFile::ImportResult result = importplan::apply(*db, plan, replace);
            if (result == DataFile::ImportResult::Written) break;
            if (attempt == kMostAttempts)
                throw PgError::engine(QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更され続けています。"));
            err << QStringLiteral("日記がほかのﾌﾟﾛｸﾞﾗﾑで変更されたので、数え直します。") << Qt::endl;
        }
        backups::rotate(*db, folder, now.date(), access.sealed);
        err << (replace ? QStringLiteral("違う日はﾌｧｲﾙのﾃﾞｰﾀにしました。")
                        : QStringLiteral("違う日は自分のﾃﾞｰﾀを残しました。"))
            << Qt::endl;
    } catch (const PgError& error) {
        err << QStringLiteral("読み込めませんでした。日記は変わっていません。")
            << oneLine(error.description()) << Qt::endl;
        return kRefused;
    }
    return kDone;
}

int backup(const QString& dataPath, const QString& folder, QTextStream& err, const QDateTime& now,
           const Access& access) {
    auto db = openData(dataPath, err, access);
    if (!db) return kRefused;
    try {
        const QString target = folder.isEmpty() ? backups::folderBeside(dataPath) : folder;
        const QString made = backups::make(*db, target, backups::Reason::Manual, now);
        if (folder.isEmpty()) backups::rotate(*db, target, now.date(), access.sealed);
        err << QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作りました：") << QDir::toNativeSeparators(made) << Qt::endl;
    } catch (const PgError& error) {
        err << oneLine(error.description()) << Qt::endl;
        return kRefused;
    }
    return kDone;
}

int restore(const QString& dataPath, const QString& backupFile, QTextStream& err, const QDateTime& now,
            const Access& access) {
    auto db = openData(dataPath, err, access);
    if (!db) return kRefused;
    try {
        backups::restore(*db, backupFile, backups::folderBeside(dataPath), now, {}, access.sealed);
        err << QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻しました。") << Qt::endl;
    } catch (const PgError& error) {
        err << oneLine(error.description()) << Qt::endl;
        return kRefused;
    }
    return kDone;
}

int check(const QString& dataPath, QTextStream& out, QTextStream& err, const Access& access) {
    // Opened as for every other command, so that what a killed write left in its journal is rolled back
    // first; a locked diary is checked as it lies in memory once opened.
    auto db = openData(dataPath, err, access);
    if (!db) return kRefused;
    const Result<DiarySpan> result = db->inspect();
    if (!result) {
        err << QStringLiteral("検査に通りません：") << oneLine(result.message()) << Qt::endl;
        return kRefused;
    }
    out << QStringLiteral("整合性：ok") << Qt::endl
        << QStringLiteral("記録のある日：%1日").arg(result->days) << Qt::endl
        << QStringLiteral("最初の日：") << result->firstDay << Qt::endl
        << QStringLiteral("最後の日：") << result->lastDay << Qt::endl;
    return kDone;
}

}  // namespace transfercommands
