// Prints how long the graph takes with its three view options on against the same graph with them off, and
// how long the three-cycle chart for her doctor takes as a PDF against printing the graph window into a PDF,
// all on the same diary of 10,000 days. Medians over interleaved runs.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/SettingsStore.h"
#include "graph/frmDisp.h"
#include "list/frmView.h"
#include "platform/ui/WindowPrinter.h"
#include "report/ChartFile.h"

#include <QChartView>
#include <QGroupBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const int kRuns = 31;
const int kDays = 10000;

// 28-day cycles up to yesterday: five days of period, low readings, a rise on day 15.
bool fill(const QString& path) {
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        ok = db.open() && query.exec(QStringLiteral("BEGIN")) &&
             query.exec(
                 QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                                " INSERT INTO DATA_FIL SELECT date('now', printf('-%d days', i)),"
                                " CASE WHEN (%1 - i) % 28 < 14 THEN 36.3 ELSE 36.75 END, 'memo', '',"
                                " 'condition', '', i % 9 = 0, (%1 - i) % 28 < 5 FROM n")
                     .arg(kDays)) &&
             query.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    WindowBench bench(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
    if (!schema::createEmptyDataFile(path) || !fill(path)) return 1;
    SettingsStore off(dir.filePath(QStringLiteral("off.ini")));
    SettingsStore on(dir.filePath(QStringLiteral("on.ini")));
    // Both stores hold the three options, so that only their values differ.
    for (const char* section : {"GRAPH_SHIFT", "GRAPH_MENS", "GRAPH_AUTOSCALE"}) {
        on.save(QString::fromLatin1(section), settingkeys::kKey, QStringLiteral("1"));
        off.save(QString::fromLatin1(section), settingkeys::kKey, QStringLiteral("0"));
    }
    Services plain = bench.services;
    plain.settings = &off;
    Services options = plain;
    options.settings = &on;
    Module1 module;
    module.Db = DataFile::open(path);
    module.SelectedDate = QDate::currentDate().addDays(-1);
    module.CycleDays = QStringLiteral("28");
    module.AverageTemp = 36.5f;
    frmView list(module, plain);

    // The graph as it opens and paints its first frame.
    auto graph = [&](const Services& services) {
        return [&] {
            frmDisp window(list, module, services);
            window.Form_Activate();
            window.G_CHART->grab();
        };
    };
    const QString graphPdf = dir.filePath(QStringLiteral("graph.pdf"));
    auto printGraph = [&] {
        PdfFilePrinter printer(graphPdf);
        frmDisp window(list, module, plain);
        window.Form_Activate();
        printer.print(window.Frame1->parentWidget()->grab().toImage(), QStringLiteral("Selvane"));
    };
    const QString chartPdf = dir.filePath(QStringLiteral("chart.pdf"));
    auto chart = [&] {
        const auto model = report::chartOf(*module.Db, report::CycleChoice{3, true}, QDate::currentDate());
        if (!model || !report::writePdf(*model, chartPdf, path).isEmpty()) std::fprintf(stderr, "no chart\n");
    };
    // The chart drawn in memory, without the durable write (two syncs to the disk) that the file adds.
    auto rendered = [&] {
        report::pdfOf(*report::chartOf(*module.Db, report::CycleChoice{3, true}, QDate::currentDate()));
    };
    const std::vector<double> us =
        bench::interleavedMedianMicros(kRuns, {graph(plain), graph(options), printGraph, chart, rendered});
    bench::report(QStringLiteral("graph, three options on / off"), us[1] / 1000, us[0] / 1000,
                  QStringLiteral("ms"), 1.3);
    bench::report(QStringLiteral("3-cycle chart PDF / graph printed to PDF"), us[3] / 1000, us[2] / 1000,
                  QStringLiteral("ms"), 2.0);
    bench::report(QStringLiteral("3-cycle chart drawn, no file / graph to PDF"), us[4] / 1000, us[2] / 1000,
                  QStringLiteral("ms"), 2.0);
    return 0;
}
