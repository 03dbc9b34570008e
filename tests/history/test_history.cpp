#include "data/DataFile.h"
#include "data/Schema.h"
#include "history/CycleHistory.h"
#include "history/CycleStats.h"
#include "history/CycleTexts.h"
#include "support/TestBed.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <set>

using namespace history;

namespace {

// One reading a day from `from`, "-" for a day without one.
std::vector<Reading> chart(const QDate& from, const QStringList& temps) {
    std::vector<Reading> readings;
    for (int i = 0; i < temps.size(); ++i)
        if (temps[i] != QLatin1String("-")) readings.push_back({from.addDays(i), temps[i].toDouble()});
    return readings;
}

// The rule once more, written from its wording over whole readings, to check findShift against.
std::optional<std::pair<int, double>> shiftByWording(const std::vector<Reading>& readings) {
    std::vector<double> r;
    r.reserve(readings.size());
    for (const Reading& reading : readings) r.push_back(std::round(reading.celsius * 20) / 20);
    const double e = 1e-9;
    const int n = static_cast<int>(r.size());
    for (int i = 6; i < n; ++i) {
        double cover = 0;
        for (int k = i - 6; k < i; ++k) cover = std::max(cover, r[k]);
        auto high = [&](int k) { return k < n && r[k] > cover + e; };
        auto margin = [&](int k) { return k < n && r[k] >= cover + 0.2 - e; };
        if (!high(i)) continue;
        const bool regular = high(i + 1) && high(i + 2) && margin(i + 2);
        const bool fourthNeeded = high(i + 1) && high(i + 2) && !margin(i + 2) && high(i + 3);
        const bool oneLeftOut = i + 2 < n && (high(i + 1) != high(i + 2)) && margin(i + 3);
        if (regular || fourthNeeded || oneLeftOut) return std::pair{i, cover};
    }
    return std::nullopt;
}

// Cycles once more from their definition: a start is a menstruation day with none in the two days before.
std::vector<Cycle> cyclesByDefinition(const std::vector<DayMark>& days) {
    std::set<QDate> bleeding;
    for (const DayMark& mark : days)
        if (mark.menstruation) bleeding.insert(mark.day);
    std::vector<QDate> starts;
    for (const QDate& day : bleeding)
        if (!bleeding.count(day.addDays(-1)) && !bleeding.count(day.addDays(-2))) starts.push_back(day);
    std::vector<Cycle> cycles;
    for (size_t i = 0; i < starts.size(); ++i) {
        Cycle cycle;
        cycle.start = starts[i];
        const QDate end = i + 1 < starts.size() ? starts[i + 1] : QDate(9999, 1, 1);
        if (i + 1 < starts.size()) cycle.length = static_cast<int>(starts[i].daysTo(end));
        for (const QDate& day : bleeding) cycle.bleedingDays += day >= starts[i] && day < end;
        cycles.push_back(cycle);
    }
    return cycles;
}

Cycle counted(int length, int bleeding = 5, std::optional<int> shiftDay = std::nullopt) {
    Cycle cycle;
    cycle.length = length;
    cycle.bleedingDays = bleeding;
    cycle.shiftDay = shiftDay;
    return cycle;
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

  private slots:
    void shiftRuleOnHandWorkedCharts_data() {
        QTest::addColumn<QStringList>("temps");
        QTest::addColumn<int>("firstHigher");  // -1: no shift
        QTest::addColumn<double>("coverline");
        QTest::addColumn<int>("kind");
        const QString low = QStringLiteral("36.30 36.40 36.35 36.45 36.40 36.30 ");
        auto temps = [&](const QString& rest) { return (low + rest).split(QLatin1Char(' ')); };
        QTest::newRow("regular") << temps("36.50 36.55 36.65 36.70") << 6 << 36.45 << 0;
        QTest::newRow("third only 0.15 above: a fourth completes")
            << temps("36.50 36.55 36.60 36.50") << 6 << 36.45 << 1;
        QTest::newRow("third only 0.15 above, fourth low")
            << temps("36.50 36.55 36.60 36.45") << -1 << 0.0 << 0;
        QTest::newRow("second falls back, fourth 0.2 above")
            << temps("36.50 36.45 36.55 36.65") << 6 << 36.45 << 2;
        QTest::newRow("third falls back, fourth 0.2 above")
            << temps("36.50 36.55 36.40 36.65") << 6 << 36.45 << 2;
        QTest::newRow("second falls back, fourth short of 0.2")
            << temps("36.50 36.45 36.55 36.60 36.50 36.45") << -1 << 0.0 << 0;
        QTest::newRow("both fall back") << temps("36.50 36.40 36.40 36.70") << -1 << 0.0 << 0;
        QTest::newRow("a later rise sets its own coverline")
            << temps("36.50 36.30 36.30 36.30 36.30 36.30 36.60 36.65 36.70") << 12 << 36.50 << 0;
        QTest::newRow("readings round to 0.05 first: 36.47 is 36.45")
            << temps("36.47 36.55 36.65 36.70") << 7 << 36.45 << 0;
        QTest::newRow("six readings needed before")
            << QStringList{"36.3", "36.3", "36.3", "36.3", "36.3", "36.8", "36.8", "36.8"} << -1 << 0.0 << 0;
        QTest::newRow("days without a reading are skipped, not low")
            << temps("36.50 - 36.55 - - 36.65") << 6 << 36.45 << 0;
        QTest::newRow("no rise at all") << temps("36.40 36.45 36.40 36.45") << -1 << 0.0 << 0;
    }
    void shiftRuleOnHandWorkedCharts() {
        QFETCH(QStringList, temps);
        QFETCH(int, firstHigher);
        const auto shift = findShift(chart(QDate(2024, 2, 20), temps));  // crosses the leap day
        QCOMPARE(shift.has_value(), firstHigher >= 0);
        if (!shift) return;
        QFETCH(double, coverline);
        QFETCH(int, kind);
        QCOMPARE(shift->firstHigher, firstHigher);
        QCOMPARE(shift->coverline, coverline);
        QCOMPARE(static_cast<int>(shift->kind), kind);
    }

    void shiftRuleAgreesWithItsWordingOnRandomCharts() {
        QRandomGenerator random(20240229);
        for (int round = 0; round < 5000; ++round) {
            std::vector<Reading> readings;
            const int n = random.bounded(0, 30);
            const int base = random.bounded(720, 735);
            for (int i = 0; i < n; ++i) {
                const int jump = i > n / 2 ? random.bounded(0, 8) : 0;
                readings.push_back(
                    {QDate(2024, 2, 1).addDays(i),
                     (base + jump + random.bounded(-3, 4)) / 20.0 + random.bounded(-2, 3) / 100.0});
            }
            const auto shift = findShift(readings);
            const auto expected = shiftByWording(readings);
            QCOMPARE(shift.has_value(), expected.has_value());
            if (!shift) continue;
            QCOMPARE(shift->firstHigher, expected->first);
            QVERIFY(std::abs(shift->coverline - expected->second) < 1e-9);
        }
    }

    void cyclesSplitAsDefinedOnRandomHistories() {
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            std::vector<DayMark> days;
            QDate day(2023, 12, 1);
            for (int i = random.bounded(0, 200); i > 0; --i) {
                day = day.addDays(random.bounded(1, 4));
                days.push_back({day, random.bounded(4) == 0, std::nullopt});
            }
            const std::vector<Cycle> cycles = splitCycles(days);
            const std::vector<Cycle> expected = cyclesByDefinition(days);
            QCOMPARE(cycles.size(), expected.size());
            for (size_t i = 0; i < cycles.size(); ++i) {
                QCOMPARE(cycles[i].start, expected[i].start);
                QCOMPARE(cycles[i].length, expected[i].length);
                QCOMPARE(cycles[i].bleedingDays, expected[i].bleedingDays);
            }
        }
    }

    void cyclesCarryTheirShiftAsACycleDay() {
        // Period of 3 days from 2024-02-26 (over the leap day), readings from day 1, a rise on day 9.
        std::vector<DayMark> days;
        const QStringList temps = QStringLiteral("36.3 36.4 36.3 36.4 36.3 36.35 36.4 - 36.6 36.65 36.7 36.7")
                                      .split(QLatin1Char(' '));
        for (int i = 0; i < temps.size(); ++i) {
            const bool reading = temps[i] != QLatin1String("-");
            days.push_back({QDate(2024, 2, 26).addDays(i), i < 3,
                            reading ? std::optional<double>(temps[i].toDouble()) : std::nullopt});
        }
        days.push_back({QDate(2024, 3, 25), true, 99.0});   // the next period; an impossible reading is none
        days.push_back({QDate(2024, 3, 25), false, 36.2});  // a second row of that day
        const std::vector<Cycle> cycles = splitCycles(days);
        QCOMPARE(cycles.size(), size_t(2));
        QCOMPARE(cycles[0].length, std::optional<int>(28));
        QCOMPARE(cycles[0].bleedingDays, 3);
        QCOMPARE(cycles[0].shiftDay, std::optional<int>(9));
        QCOMPARE(cycles[0].coverline, std::optional<double>(36.4));
        // The six readings before the rise skip the day without one: they start on cycle day 2.
        QCOMPARE(cycles[0].coverlineFrom, std::optional<QDate>(QDate(2024, 2, 27)));
        QCOMPARE(cycles[0].daysAfterShift(), std::optional<int>(20));
        QVERIFY(!cycles[1].length && !cycles[1].counted());
        QVERIFY(splitCycles({}).empty());
        QVERIFY(splitCycles({{QDate(2024, 1, 1), false, 36.5}}).empty());

        // A second row of a day (another tool's) is neither a reading nor a period day: two high days stay
        // no shift, and its menstruation mark starts no cycle.
        std::vector<DayMark> twice;
        twice.reserve(9);
        for (int i = 0; i < 8; ++i)
            twice.push_back({QDate(2024, 1, 1).addDays(i), i < 2, i < 6 ? 36.3 : 36.7});
        twice.insert(twice.begin() + 7, {QDate(2024, 1, 7), true, 36.7});
        const std::vector<Cycle> one = splitCycles(twice);
        QCOMPARE(one.size(), size_t(1));
        QVERIFY(!one[0].shiftDay);
        QCOMPARE(one[0].bleedingDays, 2);
    }

    // A cold of 37.45 °C on days 11-13 of a cycle without ovulation reads as a shift; marked disturbed, those
    // readings count for nothing, and the cycle has no shift, no coverline and no high phase in the figures.
    void aDisturbedReadingIsNoShift() {
        std::vector<DayMark> days;
        for (int i = 0; i < 28; ++i) {
            const double temp = i >= 10 && i <= 12 ? 37.45 - (i - 10) * 0.1 : 36.25 + (i % 3) * 0.05;
            days.push_back({QDate(2024, 1, 1).addDays(i), i < 4, temp});
        }
        days.push_back({QDate(2024, 1, 29), true, 36.3});
        QCOMPARE(splitCycles(days)[0].shiftDay, std::optional<int>(11));
        for (DayMark& day : days) day.excluded = day.temp > 37;
        const Cycle cycle = splitCycles(days)[0];
        QVERIFY(!cycle.shiftDay && !cycle.coverline && !cycle.daysAfterShift());
        QCOMPARE(cycle.length, std::optional<int>(28));
        // The cycle window says what was left out.
        QCOMPARE(cycle.excludedReadings, 3);
        QCOMPARE(rowTexts(cycle).shift, QStringLiteral("体温の上昇なし（除外 3日）"));
        QVERIFY(rowTexts(cycle).shiftWhen.endsWith(QStringLiteral("\n除外した体温（3日）は使っていません")));
    }

    void figuresNeedThreeCountedCyclesAndLeaveOutliersOut() {
        QVERIFY(!summarize({counted(28), counted(30), counted(14), counted(100)}, 6));
        QVERIFY(!historyCycle({Cycle{}, counted(28), counted(30)}));
        const std::vector<Cycle> cycles{Cycle{},      counted(28, 4, 14), counted(14), counted(31, 6),
                                        counted(100), counted(29, 5, 16), counted(20)};
        const auto summary = summarize(cycles, 6);
        QVERIFY(summary);
        QCOMPARE(summary->cycles, 4);
        QCOMPARE(summary->mean, 27.0);
        QCOMPARE(summary->median, 28.5);  // a tie of two middles: their mean
        QCOMPARE(summary->shortest, 20);
        QCOMPARE(summary->longest, 31);
        QVERIFY(std::abs(summary->deviation - std::sqrt(70.0 / 3)) < 1e-9);
        QCOMPARE(summary->meanBleedingDays, 5.0);
        QCOMPARE(summary->meanDaysAfterShift, std::optional<double>((15 + 14) / 2.0));
        QCOMPARE(summarize(cycles, 3)->cycles, 3);  // the latest three counted
        const auto forecast = historyCycle(cycles);
        QCOMPARE(forecast->days, 29);  // 28.5 rounds up
        QCOMPARE(forecast->shortest, 20);
        QCOMPARE(forecast->longest, 31);
    }

    // The window's rows, figures and flags are checked through the window; here what only the texts decide.
    void cyclesReadAsTheCsvShowsThem() {
        Cycle running;
        running.start = QDate(2024, 2, 29);
        running.bleedingDays = 3;
        QCOMPARE(csvLine(running), QStringLiteral("2024-02-29,,3,,"));
        QVERIFY(rowTexts(running).flag.isEmpty());  // still running: not counted, yet not out of bounds
        // A coverline made of 0.05 steps prints its two decimals exactly.
        for (int steps = 600; steps <= 900; ++steps) {
            Cycle cycle = counted(28, 4, 10);
            cycle.start = running.start;
            cycle.coverline = steps / 20.0;
            const QString text = csvLine(cycle).section(u',', 4);
            QCOMPARE(qRound(text.toDouble() * 20), steps);
            QCOMPARE(text.size(), 5);
        }
    }

    void theForecastsCycleComesFromTheLatestCyclesOfTheWholeFile() {
        // Old cycles of 40 days, then six of 30, then two too short to count and the running one.
        std::vector<int> lengths(10, 40);
        for (int i = 0; i < 6; ++i) lengths.push_back(30);
        lengths.insert(lengths.end(), {10, 12, 20});
        TestBed bed;
        addPeriods(bed, QDate(2023, 1, 1), lengths);
        const auto cycle = forecastCycle(*bed.openData());
        QVERIFY(cycle);
        QCOMPARE(cycle->days, 30);
        QCOMPARE(cycle->cycles, 6);
        QCOMPARE(std::pair(cycle->shortest, cycle->longest), std::pair(30, 30));

        // Only the latest twelve cycles are looked at: nine flagged ones hide everything older.
        TestBed flagged;
        addPeriods(flagged, QDate(2023, 1, 1),
                   {30, 30, 30, 30, 10, 10, 10, 10, 10, 10, 10, 10, 10, 30, 30, 5});
        QVERIFY(!forecastCycle(*flagged.openData()));
    }

    void theFileIsReadOnlyAsFarAsAsked() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
        QVERIFY(schema::createEmptyDataFile(path, nullptr));
        auto file = DataFile::open(path);
        std::vector<DayRecord> records;
        QRandomGenerator random(11);
        for (QDate day(2020, 1, 1); day < QDate(2023, 1, 1); day = day.addDays(1)) {
            DayRecord record;
            record.date = day;
            record.guest = random.bounded(5) == 0;
            if (random.bounded(4)) record.temp = 36.0 + random.bounded(0, 20) / 20.0;
            records.push_back(record);
        }
        QVERIFY(file->importRecords(records, {}) == DataFile::ImportResult::Written);
        const std::vector<Cycle> all = allCycles(*file);
        QVERIFY(all.size() > 20);

        const QDate through(2022, 6, 30);
        const std::vector<Cycle> known = splitCycles(marksOf(file->range(QDate(2020, 1, 1), through)));
        const std::vector<Cycle> latest = latestCycles(*file, through, 5);
        QCOMPARE(latest.size(), size_t(5));
        for (size_t i = 0; i < latest.size(); ++i) {
            const Cycle& expected = known[known.size() - 1 - i];
            QCOMPARE(latest[i].start, expected.start);
            QCOMPARE(latest[i].length, expected.length);
            QCOMPARE(latest[i].shiftDay, expected.shiftDay);
        }
        const std::vector<Cycle> covering = cyclesCovering(*file, QDate(2022, 1, 1), through);
        QVERIFY(covering.back().start <= QDate(2022, 1, 1));
        QVERIFY(covering.size() < 2 || covering[covering.size() - 2].start > QDate(2022, 1, 1));
        QCOMPARE(latestCycles(*file, QDate(2019, 1, 1), 3).size(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
