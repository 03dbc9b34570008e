// The list's pure core: column widths, day rows, merged blocks and the fertile-day marks.
#include "list/FertileMarks.h"
#include "list/ListLayout.h"
#include "list/ListRows.h"
#include "platform/core/PgError.h"

#include <QRandomGenerator>
#include <QTest>
#include <set>

using namespace listview;

namespace {

DayRecord record(const QDate& day, std::optional<double> temp = 36.5, bool guest = false, bool love = false,
                 const QString& condition = {}) {
    DayRecord r;
    r.date = day;
    r.temp = temp;
    r.guest = guest;
    r.love = love;
    r.condition = condition;
    r.memo = QStringLiteral("memo ") + day.toString(Qt::ISODate);
    r.schedule = QStringLiteral("予定");
    return r;
}

QStringList cells(const Row& row) { return QStringList(row.begin(), row.end()); }

// A table of 180 days whose "●" days are given as day numbers counted from the oldest row (day 0).
Table tableWithMenstruation(const std::set<int>& days) {
    std::vector<DayRecord> records;
    const QDate selected(2001, 12, 7);
    for (int n = kDays - 1; n >= 0; --n)
        if (days.count(n)) records.push_back(record(selected.addDays(n - (kDays - 1)), 36.5, true));
    return buildRows(records, selected);
}

std::set<int> daysWith(const Table& rows, const QString& mark) {
    std::set<int> days;
    for (int i = 0; i < kDays; ++i)
        if (rows[i][Mark] == mark) days.insert(kDays - 1 - i);
    return days;
}

// The marking rules stated another way, to compare with on random tables: a "●" day is a start when no
// start came before, when a day since the latest start lay in its window, or when it is two or more days
// after the latest start and a day without "●" came between them. Works on day numbers only.
std::set<int> independentMarks(const std::set<int>& bleeding, int cycle) {
    auto inWindow = [cycle](int index) { return cycle / 2.0 - 2 <= index && index <= cycle / 2.0 + 3; };
    std::vector<int> starts;
    std::set<int> marks;
    for (int d = 0; d < kDays; ++d) {
        if (bleeding.count(d)) {
            if (starts.empty()) {
                starts.push_back(d);
            } else {
                const int s = starts.back();
                bool windowBegun = false;
                bool dryDay = false;
                for (int e = s; e < d; ++e) windowBegun = windowBegun || inWindow(e - s);
                for (int e = s + 1; e < d; ++e) dryDay = dryDay || !bleeding.count(e);
                if (windowBegun || (d - s >= 2 && dryDay)) starts.push_back(d);
            }
        }
        if (!starts.empty() && inWindow(d - starts.back())) marks.insert(d);
    }
    return marks;
}

std::set<int> range(int first, int last) {
    std::set<int> days;
    for (int d = first; d <= last; ++d) days.insert(d);
    return days;
}

std::set<int> unite(std::set<int> a, const std::set<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

}  // namespace

Q_DECLARE_METATYPE(std::set<int>)

class TestListRows : public QObject {
    Q_OBJECT

  private slots:
    void widthsFollowTheUnit_data() {
        QTest::addColumn<double>("u");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("window");
        QTest::newRow("u 120") << 120.0 << QList<int>{600, 480, 480, 480, 720, 1800, 480, 480, 1800, 2400}
                               << 10044 << 10284;
        QTest::newRow("u 135 widens all")
            << 135.0 << QList<int>{675, 540, 540, 540, 810, 2025, 540, 540, 2025, 2700} << 11300
            << 11540;  // 10935 + 364.5, the half to even
        QTest::newRow("halves to even")
            << 112.5 << QList<int>{562, 450, 450, 450, 675, 1688, 450, 450, 1688, 2250} << 9417 << 9657;
    }
    void widthsFollowTheUnit() {
        QFETCH(double, u);
        QFETCH(QList<int>, columns);
        const listview::Widths widths = listview::widthsFor(u);
        QCOMPARE(QList<int>(widths.columns.begin(), widths.columns.end()), columns);
        QTEST(widths.grid, "grid");
        QTEST(widths.window, "window");
    }

    void rowsOfSeventhDecember() {
        const QDate s(2001, 12, 7);
        QCOMPARE(firstDay(s), QDate(2001, 6, 10));
        // The file's statement returns the 10 June record; it belongs to no row.
        const Table rows = buildRows({record(s, 36.72, true, true, "良好"), record(QDate(2001, 6, 11), 0.0),
                                      record(QDate(2001, 6, 10), 37.0)},
                                     s);
        QCOMPARE(cells(rows[0]), QStringList({"2001", "12", "7", "金", "36.72", "良好", "●", "◎",
                                              "memo 2001-12-07", "予定"}));
        QCOMPARE(cells(rows[179]),
                 QStringList({"2001", "6", "11", "月", "", "", "", "", "memo 2001-06-11", "予定"}));
        for (const Row& row : rows) QVERIFY(!row[Memo].contains("06-10"));
    }

    void rowsAcrossAYear() {
        const QDate s(2001, 3, 31);
        QCOMPARE(firstDay(s), QDate(2000, 10, 2));
        const Table rows = buildRows({}, s);
        QCOMPARE(cells(rows[0]).mid(0, 4), QStringList({"2001", "3", "31", "土"}));
        QCOMPARE(cells(rows[179]).mid(0, 4), QStringList({"2000", "10", "3", "火"}));
        // An empty table: every row holds its date and weekday only.
        for (const Row& row : rows) QVERIFY(cells(row).mid(4).join("").isEmpty());
    }

    void temperatureTexts_data() {
        QTest::addColumn<std::optional<double>>("temp");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << std::optional<double>(36.5) << "36.50";
        QTest::newRow("zero is empty") << std::optional<double>(0.0) << "";
        QTest::newRow("none is empty") << std::optional<double>() << "";
        QTest::newRow("one digit before the point") << std::optional<double>(0.5) << "0.50";
    }
    void temperatureTexts() {
        QFETCH(std::optional<double>, temp);
        QTEST(temperatureText(temp), "text");
    }

    // Later records are passed over; a second record of one day costs only itself.
    void recordsOutOfPlaceHideNothing_data() {
        QTest::addColumn<QList<QDate>>("returned");  // newest first, as the file returns them
        QTest::addColumn<QList<int>>("shownRows");
        const QDate s(2001, 5, 20);
        QTest::newRow("later ones") << QList<QDate>{s.addDays(30), s.addDays(1), s, s.addDays(-3)}
                                    << QList<int>{0, 3};
        QTest::newRow("only later ones") << QList<QDate>{s.addDays(2), s.addDays(1)} << QList<int>{};
        QTest::newRow("two of one day")
            << QList<QDate>{s, s.addDays(-2), s.addDays(-2), s.addDays(-5), s.addDays(-179)}
            << QList<int>{0, 2, 5, 179};
    }
    void recordsOutOfPlaceHideNothing() {
        QFETCH(QList<QDate>, returned);
        QFETCH(QList<int>, shownRows);
        std::vector<DayRecord> records;
        for (const QDate& day : returned) records.push_back(record(day));
        const Table rows = buildRows(records, QDate(2001, 5, 20));
        QList<int> shown;
        for (int i = 0; i < kDays; ++i) {
            if (rows[i][Temp].isEmpty()) continue;
            shown << i;
            QCOMPARE(rows[i][Memo], "memo " + QDate(2001, 5, 20).addDays(-i).toString(Qt::ISODate));
        }
        QCOMPARE(shown, shownRows);
    }

    void yearAndMonthMergeIntoBlocks() {
        const Table rows = buildRows({}, QDate(2001, 3, 31));
        auto spans = [&](int column) {
            QList<QPair<int, int>> list;
            for (const auto& b : listview::mergedBlocks(rows, column)) list << qMakePair(b.first, b.count);
            return list;
        };
        QCOMPARE(spans(Year), (QList<QPair<int, int>>{{0, 90}, {90, 90}}));
        QCOMPARE(spans(Month),
                 (QList<QPair<int, int>>{{0, 31}, {31, 28}, {59, 31}, {90, 31}, {121, 30}, {151, 29}}));
        // A month merges only inside a merged year; empty cells never merge.
        Table odd(4);
        odd[0][Year] = odd[1][Year] = "2000";
        odd[2][Year] = "2001";
        odd[0][Month] = odd[1][Month] = odd[2][Month] = "12";
        QCOMPARE(listview::mergedBlocks(odd, Year).size(), size_t(1));
        QCOMPARE(listview::mergedBlocks(odd, Month).size(), size_t(1));
        QCOMPARE(listview::mergedBlocks(odd, Month)[0].count, 2);
    }

    void fertileMarks_data() {
        QTest::addColumn<int>("cycle");
        QTest::addColumn<std::set<int>>("bleeding");
        QTest::addColumn<std::set<int>>("stars");
        QTest::newRow("one period") << 28 << range(0, 4) << range(12, 17);
        QTest::newRow("two periods") << 28 << unite(range(0, 4), range(28, 32))
                                     << unite(range(12, 17), range(40, 45));
        QTest::newRow("start inside a window")
            << 28 << unite(range(0, 4), range(14, 15)) << unite(range(12, 13), range(26, 31));
        QTest::newRow("a long run") << 28 << range(0, 13) << unite({12}, range(25, 30));
        QTest::newRow("no period") << 28 << std::set<int>{} << std::set<int>{};
        QTest::newRow("cycle 29") << 29 << unite(range(0, 4), range(29, 33))
                                  << unite(range(13, 17), range(42, 46));
        QTest::newRow("a dry day makes a new start")
            << 28 << unite(range(0, 2), range(4, 5)) << range(16, 21);
        QTest::newRow("the start itself in a short cycle") << 4 << std::set<int>{100} << range(100, 105);
    }
    void fertileMarks() {
        QFETCH(int, cycle);
        QFETCH(std::set<int>, bleeding);
        QFETCH(std::set<int>, stars);
        Table rows = tableWithMenstruation(bleeding);
        markFertileDays(rows, forecast::CycleLength::fromSetting(QString::number(cycle)));
        QCOMPARE(daysWith(rows, kFertile), stars);
        std::set<int> kept;
        for (int d : bleeding)
            if (!stars.count(d)) kept.insert(d);
        QCOMPARE(daysWith(rows, kMenstruation), kept);
        QCOMPARE(independentMarks(bleeding, cycle), stars);
    }

    void fertileMarksAgreeWithASecondFormulation() {
        QRandomGenerator random(20011207);
        for (int round = 0; round < 3000; ++round) {
            std::set<int> bleeding;
            const int density = random.bounded(2, 40);
            for (int d = 0; d < kDays; ++d) {
                // Runs of "●" days of random length, at random distances.
                if (random.bounded(density) == 0) {
                    const int length = random.bounded(1, 9);
                    for (int k = 0; k < length && d < kDays; ++k, ++d) bleeding.insert(d);
                }
            }
            const int cycle = random.bounded(-2, 45);
            Table rows = tableWithMenstruation(bleeding);
            markFertileDays(rows, forecast::CycleLength::fromSetting(QString::number(cycle)));
            QCOMPARE(daysWith(rows, kFertile), independentMarks(bleeding, cycle));
        }
    }

    void failureKeepsTheMarksSoFar() {
        Table rows = tableWithMenstruation(unite(range(0, 4), range(60, 64)));
        rows[kDays - 1 - 50][Month] = QStringLiteral("x");  // day 50 holds no number
        try {
            markFertileDays(rows, forecast::CycleLength::fromSetting(QStringLiteral("28")));
            QFAIL("no failure reported");
        } catch (const PgError& error) {
            QCOMPARE(error.number(), int(PgError::TypeMismatch));
        }
        QCOMPARE(daysWith(rows, kFertile), range(12, 17));
    }
};

QTEST_GUILESS_MAIN(TestListRows)
#include "test_listrows.moc"
