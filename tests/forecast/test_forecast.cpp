#include "forecast/CycleForecast.h"
#include "forecast/CycleRules.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace forecast;

namespace {

std::optional<QDate> walk(const QList<QDate>& newestFirst, int* read = nullptr) {
    PeriodStartWalk w;
    int count = 0;
    for (const QDate& day : newestFirst) {
        ++count;
        if (!w.take(day)) break;
    }
    if (read) *read = count;
    return w.start();
}

// The panel texts with a cycle setting as stored.
Texts forecastTexts(const std::optional<QDate>& start, const QDate& selected, const QString& cycle) {
    return forecast::forecastTexts(start, selected, CycleLength::fromSetting(cycle));
}

QList<QDate> marchDays(std::initializer_list<int> days) {
    QList<QDate> out;
    for (int d : days) out.prepend(QDate(2001, 3, d));
    return out;  // newest first
}

}  // namespace

class TestForecast : public QObject {
    Q_OBJECT

  private slots:
    void periodStartWalksBackOverGapsOfTwoDays() {
        QCOMPARE(walk(marchDays({1, 2, 3, 5})), QDate(2001, 3, 1));
        QCOMPARE(walk(marchDays({1, 2, 3, 6})), QDate(2001, 3, 6));
        QCOMPARE(walk({}), std::nullopt);
        // Two rows of one day are 0 days apart and continue the walk.
        QCOMPARE(walk({QDate(2001, 3, 4), QDate(2001, 3, 4), QDate(2001, 3, 3)}), QDate(2001, 3, 3));
        // Only the latest run and one more day are read.
        int read = 0;
        walk(marchDays({1, 2, 3, 10, 11, 12, 20, 21}), &read);
        QCOMPARE(read, 3);
    }

    void noMenstruationDay() {
        const Texts t = forecastTexts(std::nullopt, QDate(2001, 3, 10), QStringLiteral("not a number"));
        QCOMPARE(t.nextPeriod, QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります"));
        QCOMPARE(t.dayState, QStringLiteral("通常日"));
    }

    void nextPeriodUntilTheExpectedDay() {
        const QDate start(2001, 3, 1);
        QCOMPARE(forecastTexts(start, QDate(2001, 3, 28), "28").nextPeriod,
                 QStringLiteral("次回月経予定日は2001年03月29日 木曜日です"));
        QCOMPARE(forecastTexts(start, QDate(2001, 3, 29), "28").nextPeriod, kNoForecast);
        QCOMPARE(forecastTexts(start, QDate(2001, 2, 20), "28").nextPeriod,
                 QStringLiteral("次回月経予定日は2001年03月29日 木曜日です"));
        QCOMPARE(forecastTexts(QDate(2001, 12, 20), QDate(2001, 12, 25), "28").nextPeriod,
                 QStringLiteral("次回月経予定日は2002年01月17日 木曜日です"));
        QCOMPARE(forecastTexts(start, QDate(2001, 3, 5), "28.5").nextPeriod,
                 QStringLiteral("次回月経予定日は2001年03月29日 木曜日です"));
        QCOMPARE(forecastTexts(start, QDate(2001, 3, 5), "29.5").nextPeriod,
                 QStringLiteral("次回月経予定日は2001年03月31日 土曜日です"));
    }

    void fertileWindowByCycle_data() {
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("28") << "28" << 12 << 17;
        QTest::newRow("29") << "29" << 13 << 17;
        QTest::newRow("30") << "30" << 13 << 18;
        QTest::newRow("10") << "10" << 3 << 8;
        QTest::newRow("60") << "60" << 28 << 33;
    }
    void fertileWindowByCycle() {
        QFETCH(QString, cycle);
        QFETCH(int, first);
        QFETCH(int, last);
        const QDate start(2001, 3, 1);
        for (int index = -3; index <= 70; ++index) {
            const bool fertile = index >= first && index <= last;
            QCOMPARE(forecastTexts(start, start.addDays(index), cycle).dayState,
                     fertile ? kFertile : kOrdinary);
        }
        // The days the cycle window names are those the panels show.
        const Outlook expected = outlook(start, CycleLength::fromSetting(cycle));
        QCOMPARE(expected.fertileFirst, start.addDays(first));
        QCOMPARE(expected.fertileLast, start.addDays(last));
        QCOMPARE(forecastTexts(start, expected.nextPeriod.addDays(-1), cycle).nextPeriod,
                 QStringLiteral("次回月経予定日は") + jatext::kanjiDateWithWeekday(expected.nextPeriod) +
                     QStringLiteral("です"));
        QCOMPARE(forecastTexts(start, expected.nextPeriod, cycle).nextPeriod, kNoForecast);
    }

    void badCycleTextsRaise() {
        const QDate start(2001, 3, 1);
        QVERIFY_THROWS_EXCEPTION(PgError, forecastTexts(start, start, "abc"));
        try {
            forecastTexts(start, start, "40000");
            QFAIL("no overflow");
        } catch (const PgError& error) {
            QCOMPARE(error.number(), int(PgError::Overflow));
        }
    }

    // The cycle length in use carries the reading of her setting: its failure comes out only where the number
    // is needed, with the number and text the handlers' traps show; a length from her records always reads.
    void theCycleLengthKeepsItsReadingError_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("error");
        QTest::newRow("whole") << "28" << 28 << 0;
        QTest::newRow("a half to the even") << "28.5" << 28 << 0;
        QTest::newRow("full-width") << "\uFF13\uFF10" << 30 << 0;
        QTest::newRow("a word") << "abc" << 0 << int(PgError::TypeMismatch);
        QTest::newRow("empty") << "" << 0 << int(PgError::TypeMismatch);
        QTest::newRow("too large") << "40000" << 0 << int(PgError::Overflow);
    }
    void theCycleLengthKeepsItsReadingError() {
        QFETCH(QString, stored);
        QFETCH(int, days);
        QFETCH(int, error);
        const CycleLength cycle = CycleLength::fromSetting(stored);
        QCOMPARE(cycle.text(), stored);
        QCOMPARE(forecastTexts(std::nullopt, QDate(2001, 3, 10), stored).dayState, kOrdinary);  // not needed
        try {
            QCOMPARE(int(cycle.days()), days);
            QCOMPARE(error, 0);
        } catch (const PgError& raised) {
            QCOMPARE(raised.number(), error);
            QCOMPARE(raised.description(), standardErrorText(error));
        }
        QCOMPARE(CycleLength::fromDays(31).days(), qint16(31));
        QCOMPARE(CycleLength::fromDays(31).text(), QStringLiteral("31"));
    }

    void theRulesOfHerCycle() {
        QVERIFY(samePeriod(QDate(2001, 3, 1), QDate(2001, 3, 3)));
        QVERIFY(!samePeriod(QDate(2001, 3, 1), QDate(2001, 3, 4)));
        QVERIFY(!isCountedLength(14) && isCountedLength(15) && isCountedLength(99) && !isCountedLength(100));
        QVERIFY(!isPlausibleReading(29.99) && isPlausibleReading(30) && isPlausibleReading(45));
        QVERIFY(!isPlausibleReading(45.01));
        QCOMPARE(countedLengthsText(), QStringLiteral("15～99日"));
    }

    // The walk compared with a second formulation: from the newest day, step back one or two calendar days
    // while such a day is marked.
    void walkAgreesWithAnIndependentFormulation() {
        QRandomGenerator random(20011207);
        for (int round = 0; round < 2000; ++round) {
            QList<QDate> days;
            const int n = random.bounded(12);
            for (int i = 0; i < n; ++i) days.append(QDate(2001, 1, 1).addDays(random.bounded(40)));
            std::sort(days.begin(), days.end(), std::greater<>());
            const QSet<QDate> marked(days.begin(), days.end());
            std::optional<QDate> expected;
            if (!days.isEmpty()) {
                QDate start = days.first();
                while (marked.contains(start.addDays(-1)) || marked.contains(start.addDays(-2)))
                    start = start.addDays(marked.contains(start.addDays(-1)) ? -1 : -2);
                expected = start;
            }
            QCOMPARE(walk(days), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestForecast)
#include "test_forecast.moc"
