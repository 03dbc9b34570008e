// Prints how long the cycle window takes to open over data files of 1,000 and 1,000,000 records (a 29-day
// cycle each, so about 34,000 cycles in the large one), with the list window over the 1,000 records as the
// yardstick. Medians over interleaved runs.
#include "BenchSupport.h"
#include "WindowBench.h"
#include "data/DataFile.h"
#include "list/frmView.h"
#include "ui/history/frmCycles.h"

#include <QTemporaryDir>
#include <cstdio>

namespace {

// Late enough that a million days back is still a date the data file can hold.
const QDate kLastDay(3000, 12, 31);
const int kRuns = 41;

struct Bed {
    explicit Bed(int records) {
        const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
        bench::makeDataFile(path, records, kLastDay.toString(Qt::ISODate));
        module.Db = DataFile::open(path);
        module.SelectedDate = kLastDay;
        module.CycleDays = QStringLiteral("28");
        module.AverageTemp = 36.5f;
    }
    QTemporaryDir dir;
    Module1 module;
};

}  // namespace

int main(int argc, char* argv[]) {
    WindowBench bench(argc, argv);
    Services& services = bench.services;

    Bed small(1000);
    Bed large(1000000);
    auto cycles = [&](Bed& bed) { return [&] { historyui::frmCycles window(bed.module, services); }; };
    auto list = [&](Bed& bed) { return [&] { frmView view(bed.module, services); }; };
    const std::vector<double> us =
        bench::interleavedMedianMicros(kRuns, {cycles(small), cycles(large), list(small)});
    {
        const historyui::frmCycles shown(large.module, services);
        std::printf("cycle window over 1,000,000 records: %zu cycles shown\n", shown.cycles().size());
    }
    bench::report(QStringLiteral("cycle window 1,000,000 / 1,000 records"), us[1] / 1000, us[0] / 1000,
                  QStringLiteral("ms"), 1.5);
    bench::report(QStringLiteral("cycle window / list window, 1,000 records"), us[0] / 1000, us[2] / 1000,
                  QStringLiteral("ms"), 1.0);
    return 0;
}
