#include "BenchSupport.h"

#include "data/Schema.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <cstdio>

namespace bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double medianMicros(int runs, const std::function<void()>& work) {
    return interleavedMedianMicros(runs, {work}).front();
}

std::vector<double> interleavedMedianMicros(int runs, const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> times(works.size());
    for (auto& list : times) list.reserve(size_t(runs));
    for (const auto& work : works) work();
    for (int run = 0; run < runs; ++run) {
        for (size_t w = 0; w < works.size(); ++w) {
            QElapsedTimer timer;
            timer.start();
            works[w]();
            times[w].push_back(timer.nsecsElapsed() / 1000.0);
        }
    }
    std::vector<double> result;
    result.reserve(times.size());
    for (auto& list : times) result.push_back(median(std::move(list)));
    return result;
}

void makeDataFile(const QString& path, int rows, const QString& lastDayIso) {
    schema::createEmptyDataFile(path);
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        query.exec(QStringLiteral("BEGIN"));
        query.exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                           " INSERT INTO DATA_FIL SELECT date('%2', '-' || i || ' days'),"
                           " 36.2 + (i % 7) / 10.0, '薬', '予定', '良好', '今日の日記 ' || i,"
                           " i % 11 = 0, i % 29 < 5 FROM n")
                .arg(rows - 1)
                .arg(lastDayIso));
        query.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void report(const QString& name, double value, double baseline, const QString& unit, double target) {
    const double ratio = baseline > 0 ? value / baseline : 0;
    std::printf("%-44s %12.1f %-3s %12.1f %-3s %7.2f  (target <= %.2f) %s\n", qPrintable(name), value,
                qPrintable(unit), baseline, qPrintable(unit), ratio, target,
                ratio <= target ? "met" : "MISSED");
    std::fflush(stdout);
}

}  // namespace bench
