#include "transfer/WholeExport.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"

#include <QFileInfo>

namespace wholeexport {

bool isDataFile(const QString& path, const QString& dataPath) {
    const QFileInfo target(path);
    const QFileInfo data(dataPath);
    if (!target.exists() || !data.exists()) return false;
    return target.canonicalFilePath() == data.canonicalFilePath();
}

Outcome write(DataFile& db, const QString& path, diarycsv::Format format,
              const DataFile::Progress& progress) {
    Outcome outcome;
    AtomicFile file(path);
    if (!file.open()) {
        outcome.error = file.errorString();
        return outcome;
    }
    try {
        const qint64 total = db.recordCount();
        QByteArray chunk = diarycsv::fileStart(format);
        bool ok = true;
        db.forEachRow([&](const StoredRow& row) {
            diarycsv::appendRow(chunk, format, row);
            ++outcome.rows;
            if (chunk.size() >= qsizetype(64) * 1024) {
                ok = file.write(chunk);
                chunk.resize(0);
            }
            if (ok && progress && outcome.rows % 4096 == 0 && !progress(outcome.rows, total)) {
                outcome.cancelled = true;
                return false;
            }
            return ok;
        });
        if (outcome.cancelled) return outcome;  // the temporary file goes with `file`
        if (ok) ok = file.write(chunk) && file.commit();
        if (!ok) outcome.error = file.errorString();
    } catch (const PgError& error) {
        outcome.error = error.description();
    }
    return outcome;
}

}  // namespace wholeexport
