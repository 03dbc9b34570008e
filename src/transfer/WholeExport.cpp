#include "transfer/WholeExport.h"

#include "forecast/CycleRules.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"
#include "transfer/DripDay.h"

#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>

namespace transfer {

bool isDataFile(const QString& path, const QString& dataPath) {
    // The same file by any name: itself, a link to it, a hard link.
    struct stat target {};
    struct stat data {};
    return ::stat(QFile::encodeName(path).constData(), &target) == 0 &&
           ::stat(QFile::encodeName(dataPath).constData(), &data) == 0 && target.st_dev == data.st_dev &&
           target.st_ino == data.st_ino;
}

bool refusedTarget(const QString& path, const QString& dataPath) {
    return QFileInfo(path).isDir() || isDataFile(path, dataPath);
}

QString exportedText(const ExportSummary& summary) {
    if (summary.days == 0) return QStringLiteral("書き出した日はありません。");
    return QStringLiteral("%1日分を書き出しました。").arg(summary.days);
}

QStringList leftOutTexts(const ExportSummary& summary) {
    QStringList lines;
    const auto add = [&lines](qint64 count, const QString& text) {
        if (count > 0) lines.append(text.arg(count));
    };
    add(summary.repeated,
        QStringLiteral("同じ日の2つ目からの行は書き出していません（画面に出る行だけです）：%1行"));
    add(summary.notADay, QStringLiteral("実在しない日付の行は書き出していません：%1行"));
    add(summary.nothingForDrip, QStringLiteral("drip に渡すもののない日は書き出していません：%1日"));
    add(summary.futureMarks,
        QStringLiteral("今日より後の日は、体温と月経・性交の印を除いてﾒﾓだけにしました：%1日"));
    add(summary.implausible,
        forecast::plausibleReadingsText() + QStringLiteral(" の範囲にない体温は、体温なしにしました：%1日"));
    return lines;
}

namespace {

// Appends the day of one row as the chosen format takes it, once a day and only for a real day, and counts
// what it leaves out. previous: the date of the row before (rows come in date order); marks: Selvane CSV
// carries the column of the marks.
void appendDay(QByteArray& out, CsvFormat format, const StoredRow& row, const QDate& today, QString& previous,
               ExportSummary& summary, bool marks) {
    const bool repeated = row.date == previous;
    previous = row.date;
    if (repeated) {
        ++summary.repeated;
        return;
    }
    const QDate day = QDate::fromString(row.date, Qt::ISODate);
    if (!day.isValid()) {
        ++summary.notADay;
        return;
    }
    if (format == CsvFormat::Selvane) {
        appendCsvRow(out, row, marks);
        ++summary.days;
        return;
    }
    const DripLine line = dripLine(row, day, today);
    summary.futureMarks += line.futureMarks ? 1 : 0;
    summary.implausible += line.implausible ? 1 : 0;
    if (line.cells.isEmpty()) {
        ++summary.nothingForDrip;
        return;
    }
    appendDripRow(out, line.cells);
    ++summary.days;
}

}  // namespace

Result<ExportSummary> exportDiary(DataFile& db, const QString& path, CsvFormat format, const QDate& today,
                                  const DataFile::Progress& progress) {
    AtomicFile file(path);
    if (!file.open()) return Failure{file.errorString()};
    ExportSummary summary;
    qint64 rows = 0;
    bool cancelled = false;
    bool ok = true;
    const Result<void> read = attempt([&] {
        const qint64 total = db.recordCount();
        const bool marks = db.excludedCount() > 0;
        QByteArray chunk = csvStart(format, marks);
        QString previous;
        db.forEachRow([&](const StoredRow& row) {
            appendDay(chunk, format, row, today, previous, summary, marks);
            ++rows;
            if (chunk.size() >= qsizetype(64) * 1024) {
                ok = file.write(chunk);
                chunk.resize(0);
            }
            if (ok && progress && rows % 4096 == 0 && !progress(rows, total)) {
                cancelled = true;
                return false;
            }
            return ok;
        });
        if (ok && !cancelled) ok = file.write(chunk) && file.commit();
    });
    if (!read) return read.failure();
    if (cancelled) return Failure::cancel();  // the temporary file goes with `file`
    if (!ok) return Failure{file.errorString()};
    return summary;
}

}  // namespace transfer
