// The whole diary in and out with 1,000,000 rows, each against the sqlite3 tool doing the same in the same
// run: the export against `sqlite3 -csv`, the import into an empty file against `.import --csv` of the same
// CSV, a backup against `.backup`. Medians over a few runs; the files lie beside the program, on a real disk.
#include "BenchSupport.h"
#include "cli/TransferCommands.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "transfer/Backups.h"
#include "transfer/WholeExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

const int kRows = 1000000;
const int kRuns = 3;

// Runs the sqlite3 tool, its standard output to outFile when given.
void runTool(const QStringList& arguments, const QString& outFile = {}) {
    QProcess tool;
    if (!outFile.isEmpty()) tool.setStandardOutputFile(outFile);
    tool.start(QStringLiteral("sqlite3"), arguments);
    tool.waitForFinished(-1);
    if (tool.exitCode() != 0)
        std::fprintf(stderr, "sqlite3 failed: %s\n", tool.readAllStandardError().constData());
}

QString freshDiary(const QString& folder, const QString& name) {
    QString path = QDir(folder).filePath(name);
    QFile::remove(path);
    schema::createEmptyDataFile(path);
    return path;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::currentPath() + "/bench-transfer-XXXXXX");
    const QString data = dir.filePath(QStringLiteral("selvane.mdb"));
    // Days of the Gregorian calendar only: the oldest days of a longer run back from 3000 include ones that
    // the tool counts but that are not real days, which the import rightly refuses.
    bench::makeDataFile(data, kRows, QStringLiteral("9999-12-31"));
    auto db = DataFile::open(data);
    const QString ours = dir.filePath(QStringLiteral("ours.csv"));
    const QString theirs = dir.filePath(QStringLiteral("theirs.csv"));

    const double exportUs = bench::medianMicros(kRuns, [&] {
        (void)transfer::exportDiary(*db, ours, transfer::CsvFormat::Selvane, QDate::currentDate());
    });
    const double toolExportUs = bench::medianMicros(kRuns, [&] {
        runTool({QStringLiteral("-csv"), data, QStringLiteral("SELECT * FROM DATA_FIL ORDER BY DAT_DATE")},
                theirs);
    });
    bench::report(QStringLiteral("export 1,000,000 rows vs sqlite3 -csv"), exportUs / 1000,
                  toolExportUs / 1000, QStringLiteral("ms"), 2.0);

    QString sink;
    QTextStream err(&sink);
    const double importUs = bench::medianMicros(kRuns, [&] {
        const QString target = freshDiary(dir.path(), QStringLiteral("import.mdb"));
        QDir(dir.filePath(QStringLiteral("backups"))).removeRecursively();
        cli::importCommand(target, ours, false, err);
    });
    const double toolImportUs = bench::medianMicros(kRuns, [&] {
        const QString target = freshDiary(dir.path(), QStringLiteral("tool.mdb"));
        runTool({target, QStringLiteral(".import --csv --skip 1 %1 DATA_FIL").arg(ours)});
    });
    bench::report(QStringLiteral("import 1,000,000 rows vs sqlite3 .import"), importUs / 1000,
                  toolImportUs / 1000, QStringLiteral("ms"), 2.0);

    const QString folder = dir.filePath(QStringLiteral("copies"));
    const double backupUs = bench::medianMicros(kRuns, [&] {
        QDir(folder).removeRecursively();
        (void)transfer::makeBackup(*db, folder, transfer::BackupReason::Manual, QDateTime::currentDateTime());
    });
    const double toolBackupUs = bench::medianMicros(kRuns, [&] {
        QFile::remove(dir.filePath(QStringLiteral("tool-backup.mdb")));
        runTool({data, QStringLiteral(".backup %1").arg(dir.filePath(QStringLiteral("tool-backup.mdb")))});
    });
    bench::report(QStringLiteral("backup 1,000,000 rows vs sqlite3 .backup"), backupUs / 1000,
                  toolBackupUs / 1000, QStringLiteral("ms"), 1.5);
    return 0;
}
