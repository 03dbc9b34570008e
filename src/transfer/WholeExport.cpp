#include "transfer/WholeExport.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"

#include <QFileInfo>

namespace transfer {

bool isDataFile(const QString& path, const QString& dataPath) {
    const QFileInfo target(path);
    const QFileInfo data(dataPath);
    if (!target.exists() || !data.exists()) return false;
    return target.canonicalFilePath() == data.canonicalFilePath();
}

bool refusedTarget(const QString& path, const QString& dataPath) {
    return QFileInfo(path).isDir() || isDataFile(path, dataPath);
}

Result<qint64> exportDiary(DataFile& db, const QString& path, CsvFormat format,
                           const DataFile::Progress& progress) {
    AtomicFile file(path);
    if (!file.open()) return Failure{file.errorString()};
    qint64 rows = 0;
    bool cancelled = false;
    bool ok = true;
    const Result<void> read = attempt([&] {
        const qint64 total = db.recordCount();
        const bool marks = db.excludedCount() > 0;
        QByteArray chunk = csvStart(format, marks);
        db.forEachRow([&](const StoredRow& row) {
            appendCsvRow(chunk, format, row, marks);
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
    return rows;
}

}  // namespace transfer
