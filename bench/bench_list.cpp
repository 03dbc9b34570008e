// Prints how long the list window and the graph take to build against data files of 1,000 and 1,000,000
// records, with a bare table of the same texts as the baseline. Medians over repeated runs.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "graph/frmDisp.h"
#include "list/frmView.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QDate kSelected(2026, 12, 7);
const int kRuns = 41;

// One record a day, most of them before the selected day, made in one transaction.
bool fill(const QString& path, int count) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        ok =
            db.open() && query.exec(QStringLiteral("BEGIN")) &&
            query.exec(QStringLiteral(
                           "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %1)"
                           " INSERT INTO DATA_FIL SELECT date('2026-12-07', printf('%+d days', i - %2)),"
                           " 36.2 + (i % 7) * 0.1, 'memo', 'schedule', 'condition', '', i % 9 = 0, i % 28 < 5"
                           " FROM n")
                           .arg(count)
                           .arg(count * 3 / 5)) &&
            query.exec(QStringLiteral("COMMIT"));
        if (!ok) std::fprintf(stderr, "fill failed: %s\n", qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return ok;
}

// A data file of the given size and the run's state over it.
struct Bed {
    QTemporaryDir dir;
    Module1 module;
};

bool prepare(Bed& bed, int records) {
    const QString path = bed.dir.filePath(QStringLiteral("selvane.mdb"));
    QElapsedTimer made;
    made.start();
    if (!schema::createEmptyDataFile(path) || !fill(path, records)) return false;
    std::printf("%9d records: file made in %.0f ms\n", records, made.nsecsElapsed() / 1e6);
    bed.module.Db = DataFile::open(path);
    bed.module.SelectedDate = kSelected;
    bed.module.CycleDays = QStringLiteral("28");
    bed.module.AverageTemp = 36.5f;
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    WindowBench bench(argc, argv);
    Services& services = bench.services;

    Bed small;
    Bed large;
    if (!prepare(small, 1000) || !prepare(large, 1000000)) return 1;
    auto list = [&](Bed& bed) { return [&] { frmView view(bed.module, services); }; };
    frmView smallView(small.module, services);
    frmView largeView(large.module, services);
    auto graph = [&](Bed& bed, frmView& view) {
        return [&] {
            frmDisp window(view, bed.module, services);
            window.Form_Activate();
        };
    };
    // The same 1,800 texts in a bare table: what any grid costs, without the data file or the marks.
    auto bareTable = [&] {
        QTableWidget table(listview::kDays, listview::kColumns);
        for (int r = 0; r < listview::kDays; ++r)
            for (int c = 0; c < listview::kColumns; ++c)
                table.setItem(r, c, new QTableWidgetItem(largeView.TextMatrix(r + 1, c)));
    };
    std::vector<double> ms = bench::interleavedMedianMicros(
        kRuns, {list(small), list(large), graph(small, smallView), graph(large, largeView), bareTable});
    for (double& figure : ms) figure /= 1000.0;

    std::printf("\nmedians of %d interleaved runs    1,000 records   1,000,000 records   ratio\n", kRuns);
    std::printf("list window (frmView)          %10.2f ms   %14.2f ms   %5.2f  (target <= 1.2)\n", ms[0],
                ms[1], ms[1] / ms[0]);
    std::printf("graph window (frmDisp)         %10.2f ms   %14.2f ms   %5.2f  (target <= 1.2)\n", ms[2],
                ms[3], ms[3] / ms[2]);
    std::printf("bare table of the same texts   %10.2f ms\n", ms[4]);
    std::printf("list window / bare table       %10.2f      %14.2f         (target <= 1.5)\n", ms[0] / ms[4],
                ms[1] / ms[4]);
    return 0;
}
