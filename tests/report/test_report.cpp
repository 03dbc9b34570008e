// The chart for her doctor: its model of her last cycles, its page layout, the PDF it writes, and its dialog.
#include "history/CycleHistory.h"
#include "report/ChartFile.h"
#include "report/ChartFont.h"
#include "report/ChartLayout.h"
#include "support/TestBed.h"
#include "ui/report/ReportDialog.h"
#include "vault/LockedDiary.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>

using namespace report;

namespace {

DayRecord record(const QDate& day, std::optional<double> temp, bool guest = false, const QString& memo = {},
                 bool love = false, const QString& condition = {}) {
    DayRecord r;
    r.date = day;
    r.temp = temp;
    r.guest = guest;
    r.memo = memo;
    r.love = love;
    r.condition = condition;
    return r;
}

// Periods starting on the given days (three days each), a reading every day from the first to last: low
// before each cycle's day 14, high after. Newest first, as the data file gives them.
std::vector<DayRecord> diaryOf(const std::vector<QDate>& periods, const QDate& last) {
    std::vector<DayRecord> records;
    for (QDate day = periods.front(); day <= last; day = day.addDays(1)) {
        QDate start = periods.front();
        for (const QDate& p : periods)
            if (p <= day) start = p;
        const qint64 cycleDay = start.daysTo(day) + 1;
        records.push_back(record(day, cycleDay < 14 ? 36.3 : 36.75, cycleDay <= 3));
    }
    std::reverse(records.begin(), records.end());
    return records;
}

std::vector<history::Cycle> cyclesOf(const std::vector<DayRecord>& newestFirst) {
    std::vector<history::Cycle> cycles = history::splitCycles(history::marksOf(newestFirst));
    std::reverse(cycles.begin(), cycles.end());
    return cycles;
}

ChartModel chartOfLengths(const std::vector<int>& lengths) {
    ChartModel chart;
    int first = 0;
    for (int length : lengths) {
        ChartCycle cycle;
        cycle.first = first;
        cycle.last = first + length - 1;
        chart.cycles.push_back(cycle);
        first += length;
    }
    chart.days.resize(size_t(first));
    return chart;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A cycle of the given length starting on start; no length: still running.
history::Cycle cycleFrom(const QDate& start, std::optional<int> length) {
    history::Cycle cycle;
    cycle.start = start;
    cycle.length = length;
    return cycle;
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        initTestApplication();
        QCOMPARE(chartFontFamily({QStringLiteral(SELVANE_CHART_FONT_DIR)}), kChartFamily);
    }

    void theChoiceCountsFinishedCycles() {
        const std::vector<history::Cycle> latest{
            cycleFrom(QDate(2024, 4, 1), std::nullopt), cycleFrom(QDate(2024, 3, 4), 28),
            cycleFrom(QDate(2024, 2, 3), 30), cycleFrom(QDate(2024, 1, 3), 31)};
        auto starts = [&latest](const CycleChoice& choice) {
            QList<QDate> days;
            for (const history::Cycle& cycle : chosenCycles(latest, choice)) days << cycle.start;
            return days;
        };
        QCOMPARE(cyclesToRead({3, false}), 4);
        QCOMPARE(starts({3, false}), QList<QDate>({QDate(2024, 3, 4), QDate(2024, 2, 3), QDate(2024, 1, 3)}));
        QCOMPARE(starts({1, true}), QList<QDate>({QDate(2024, 4, 1), QDate(2024, 3, 4)}));
        // Without a running cycle (the newest ends where the file ends), N finished ones all the same.
        QCOMPARE(chosenCycles({latest.begin() + 1, latest.end()}, {2, true}).size(), size_t(2));
    }

    void chartHoldsTheCyclesDayByDay() {
        const QDate through(2024, 3, 31);
        std::vector<DayRecord> records =
            diaryOf({QDate(2024, 1, 5), QDate(2024, 2, 2), QDate(2024, 3, 1)}, QDate(2024, 3, 20));
        // A day's first record counts; an impossible reading is a gap; a day without a record is one too.
        records.insert(records.begin() + 6, record(QDate(2024, 3, 15), 37.0, false, "二つ目"));
        for (DayRecord& r : records) {
            if (r.date == QDate(2024, 3, 15) && r.memo.isEmpty()) r.memo = QStringLiteral("葉酸");
            if (r.date == QDate(2024, 2, 29)) r.temp = 99.0;
            // Marked disturbed: hollow where it is a reading, nothing where it is none.
            r.excluded = r.date == QDate(2024, 3, 15) || r.date == QDate(2024, 2, 29);
            if (r.date == QDate(2024, 2, 10)) {
                r.love = true;
                r.condition = QStringLiteral("頭痛");
            }
        }
        records.erase(std::remove_if(records.begin(), records.end(),
                                     [](const DayRecord& r) { return r.date == QDate(2024, 2, 20); }),
                      records.end());
        const std::vector<history::Cycle> cycles = cyclesOf(records);
        const ChartModel two = buildChart({cycles[0], cycles[1]}, records, through);
        QCOMPARE(two.days.front().date, QDate(2024, 2, 2));
        QCOMPARE(two.days.back().date, QDate(2024, 3, 20));  // the running cycle ends on its last record
        QCOMPARE(two.dateRange(), QStringLiteral("2024/02/02 ～ 2024/03/20"));
        QCOMPARE(two.title(), QStringLiteral("基礎体温表　2024/02/02 ～ 2024/03/20"));
        QCOMPARE(int(two.cycles.size()), 2);
        QVERIFY(two.cycles[0].first == 0 && two.cycles[0].last == 27 &&
                two.cycles[1].first == 28);  // over 29 Feb
        const auto at = [&two](const QDate& day) {
            return two.days[size_t(two.days.front().date.daysTo(day))];
        };
        QCOMPARE(at(QDate(2024, 2, 29)).cycleDay, 28);
        QVERIFY(!at(QDate(2024, 2, 29)).temp && !at(QDate(2024, 2, 20)).temp);
        QCOMPARE(at(QDate(2024, 3, 1)).cycleDay, 1);
        QVERIFY(at(QDate(2024, 3, 1)).menstruation && !at(QDate(2024, 3, 4)).menstruation);
        QCOMPARE(at(QDate(2024, 3, 15)).medication, QStringLiteral("葉酸"));
        QCOMPARE(at(QDate(2024, 3, 15)).temp, std::optional<double>(36.75));
        QVERIFY(at(QDate(2024, 3, 15)).excluded && !at(QDate(2024, 2, 29)).excluded);
        QVERIFY(!at(QDate(2024, 3, 14)).excluded);
        QVERIFY(at(QDate(2024, 2, 10)).intercourse);
        QCOMPARE(at(QDate(2024, 2, 10)).condition, QStringLiteral("頭痛"));
        // Each cycle's coverline starts on the first of its six readings before the rise on day 14.
        QCOMPARE(two.cycles[1].coverline, std::optional<double>(36.3));
        QCOMPARE(two.cycles[1].firstHigher, std::optional<int>(28 + 13));
        QCOMPARE(two.cycles[1].coverlineFrom, std::optional<int>(28 + 7));
        QVERIFY(buildChart({}, records, through).days.empty());
        // The running cycle never reaches past the day it is made on.
        QCOMPARE(buildChart({cycles[0]}, records, QDate(2024, 3, 10)).days.back().date, QDate(2024, 3, 10));
    }

    void pagesAndRows() {
        auto counts = [](const std::vector<PageSpan>& pages) {
            QList<int> result;
            for (const PageSpan& page : pages) result << page.count;
            return result;
        };
        QCOMPARE(counts(pagesOf(chartOfLengths({28, 30, 31}))), QList<int>({89}));
        // A page begins with a cycle where it can; a cycle longer than a page fills pages of its own.
        QCOMPARE(counts(pagesOf(chartOfLengths({35, 40, 45}))), QList<int>({75, 45}));
        QCOMPARE(counts(pagesOf(chartOfLengths({20, 250, 10}))), QList<int>({20, 100, 100, 60}));
        QCOMPARE(pagesOf(chartOfLengths({20, 250, 10}))[2].first, 120);

        const PageGeometry page = geometryFor(89);
        QVERIFY(page.dayWidth > 2.5 && page.days.right() <= kPageWidth - 10 + 1e-9);
        QCOMPARE(geometryFor(10).dayWidth, kWidestDay);
        double y = page.row(Row::Month).top();
        for (Row row : {Row::Month, Row::Date, Row::Weekday, Row::CycleDay}) {
            QCOMPARE(page.row(row).top(), y);
            y = page.row(row).bottom();
        }
        // The grid's edge labels stay clear of the rows' names above and below it.
        QVERIFY(page.grid.top() > y);
        QVERIFY(!page.labelBox(kHighestShown).intersects(page.nameCell(Row::CycleDay)));
        QVERIFY(!page.labelBox(kLowestShown).intersects(page.nameCell(Row::Menstruation)));
        QVERIFY(page.labelBox(kHighestShown).top() >= y &&
                page.labelBox(kLowestShown).bottom() <= page.row(Row::Menstruation).top());
        y = page.row(Row::Menstruation).top();
        for (Row row : {Row::Menstruation, Row::Intercourse, Row::Medication, Row::Condition}) {
            QCOMPARE(page.row(row).top(), y);
            y = page.row(row).bottom();
        }
        QVERIFY(qFuzzyCompare(y, kPageHeight - 10));
        // 35.0-37.5 fills the grid; readings outside are drawn on its edge.
        QCOMPARE(page.yOf(35.0), page.grid.bottom());
        QCOMPARE(page.yOf(37.5), page.grid.top());
        QCOMPARE(page.yOf(34.2), page.grid.bottom());
        QCOMPARE(page.yOf(38.1), page.grid.top());
        QVERIFY(page.grid.height() / 50 > 2);  // a 0.05 °C line every 2 mm at least

        ChartDay day;
        day.date = QDate(2024, 3, 1);
        QCOMPARE(monthText(day, false), QStringLiteral("3月"));
        day.date = QDate(2024, 3, 2);
        QCOMPARE(monthText(day, false), QString());
        QCOMPARE(monthText(day, true), QStringLiteral("3月"));
    }

    void shortenedTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("chars");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "葉酸" << 5 << "葉酸";
        QTest::newRow("cut with a mark") << "ロキソプロフェン" << 5 << "ロキソプ︙";
        QTest::newRow("line breaks as spaces") << " 頭痛\n腹痛 " << 9 << "頭痛 腹痛";
        QTest::newRow("no room") << "葉酸" << 0 << "";
        QTest::newRow("a pair kept whole") << QString::fromUtf8("ab\U0001F48Acd") << 4 << "ab︙";
    }
    void shortenedTexts() {
        QFETCH(QString, text);
        QFETCH(int, chars);
        QTEST(shortened(text, chars), "shown");
    }

    void pdfCarriesTheDateRangeInItsEmbeddedFont() {
        QTemporaryDir dir;
        std::vector<DayRecord> records =
            diaryOf({QDate(2024, 1, 5), QDate(2024, 2, 2), QDate(2024, 3, 1)}, QDate(2024, 3, 25));
        records[3].excluded = true;
        ChartModel chart = buildChart(cyclesOf(records), records, QDate(2024, 3, 31));
        const QString path = dir.filePath(QStringLiteral("chart.pdf"));
        QCOMPARE(writePdf(chart, path, dir.filePath(QStringLiteral("selvane.mdb"))), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));
        QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        // Refused over the diary itself, and nothing is left where it could not be written.
        QFile diary(dir.filePath(QStringLiteral("selvane.mdb")));
        QVERIFY(diary.open(QIODevice::WriteOnly) && diary.write("SQLite") == 6);
        diary.close();
        QVERIFY(!writePdf(chart, diary.fileName(), diary.fileName()).isEmpty());
        QCOMPARE(QFileInfo(diary.fileName()).size(), 6);
        const QString nowhere = dir.filePath(QStringLiteral("none/chart.pdf"));
        QVERIFY(!writePdf(chart, nowhere, diary.fileName()).isEmpty());
        QVERIFY(!QFileInfo::exists(nowhere));

        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils missing");
        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("2024/01/05 ～ 2024/03/25")), qPrintable(text.left(300)));
        QVERIFY(text.contains(QStringLiteral("基礎体温表")));
        QVERIFY(text.contains(QStringLiteral("白抜き：除外した体温")));  // the legend names the hollow dot
        QVERIFY(!text.contains(QStringLiteral("Hanako")));
        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        QVERIFY2(fonts.contains(QStringLiteral("SelvaneChartJP")), qPrintable(fonts));
        for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2))
            if (!line.isEmpty())
                QVERIFY2(line.contains(QStringLiteral(" yes ")), qPrintable(line));  // embedded
        // Her name only when she types it; three cycles of 28 days fit one page.
        chart.name = QStringLiteral("Hanako Test");
        QCOMPARE(writePdf(chart, path, diary.fileName()), QString());
        QVERIFY(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
                    .contains(QStringLiteral("Hanako Test")));
        QVERIFY(run(QStringLiteral("pdfinfo"), {path})
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    }

    // A search in the PDF finds what the page shows: the ideographs themselves, not the radicals that share
    // their glyphs, and her name as typed; a character no font has prints as a stand-in.
    void pdfTextIsTheTextShown() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils missing");
        QTemporaryDir dir;
        std::vector<DayRecord> records = diaryOf({QDate(2024, 1, 5), QDate(2024, 2, 2)}, QDate(2024, 2, 20));
        records[3].condition = QStringLiteral("頭痛") + QString::fromUtf8("ð·");  // 😷
        records[4].memo = QStringLiteral("葉酸");
        ChartModel chart = buildChart(cyclesOf(records), records, QDate(2024, 2, 20));
        chart.name = QStringLiteral("山田 花子");
        const QString path = dir.filePath(QStringLiteral("chart.pdf"));
        QCOMPARE(writePdf(chart, path, dir.filePath(QStringLiteral("selvane.mdb"))), QString());
        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        for (const char* words :
             {"基礎体温表", "日付", "曜日", "周期日", "月経", "性交", "体調", "山田 花子", "〓"})
            QVERIFY2(text.contains(QString::fromUtf8(words)), words);
        for (const QChar c : text) QVERIFY2(c.unicode() < 0x2E80 || c.unicode() > 0x2FDF, qPrintable(text));
    }

    void dialogSavesThePdfAfterAsking() {
        TestBed bed(QDate(2024, 3, 31));
        auto db = bed.openData();
        {
            reportui::ReportDialog empty(bed.services, *db);
            QVERIFY(!empty.hasCycles());
            reportui::ReportDialog::showOver(bed.services, db.get(), nullptr);
            QCOMPARE(bed.dialogs.texts(),
                     QStringList{QStringLiteral("月経の記録がないので、基礎体温表を作れません。")});
        }
        for (const DayRecord& r :
             diaryOf({QDate(2024, 1, 5), QDate(2024, 2, 2), QDate(2024, 3, 1)}, QDate(2024, 3, 25)))
            saveDay(bed, r.date, QString::number(*r.temp), r.guest);
        bed.dialogs.clear();
        reportui::ReportDialog dialog(bed.services, *db);
        QCOMPARE(dialog.spnCycles->value(), 3);
        QVERIFY(dialog.txtName->text().isEmpty());
        QCOMPARE(unnamedInputs(&dialog), QStringList());
        // Her finished cycles (two so far); the running one only when she adds it.
        QVERIFY(!dialog.chkRunning->isChecked());
        QCOMPARE(dialog.chart().dateRange(), QStringLiteral("2024/01/05 ～ 2024/02/29"));
        dialog.chkRunning->click();
        QCOMPARE(dialog.chart().dateRange(), QStringLiteral("2024/01/05 ～ 2024/03/25"));
        dialog.spnCycles->setValue(1);
        QCOMPARE(dialog.chart().dateRange(), QStringLiteral("2024/02/02 ～ 2024/03/25"));
        QCOMPARE(dialog.lblRange->text(), QStringLiteral("2024/02/02 ～ 2024/03/25（2周期、53日）"));
        dialog.spnCycles->setValue(7);  // at most three
        QCOMPARE(dialog.spnCycles->value(), 3);

        const QString path = bed.dir.filePath(QStringLiteral("mine"));
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{path, 0});
        dialog.cmdSave_Click();
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".pdf")));
        QCOMPARE(bed.dialogs.texts().constLast(), QStringLiteral("基礎体温表を保存しました。"));
        // An existing file is replaced only when she says so.
        QFile::resize(path + QStringLiteral(".pdf"), 3);
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{path + QStringLiteral(".pdf"), 0});
        bed.dialogs.answers.enqueue(Dialogs::Answer::No);
        dialog.cmdSave_Click();
        QCOMPARE(QFileInfo(path + QStringLiteral(".pdf")).size(), 3);
        QCOMPARE(bed.dialogs.calls.constLast().text, QStringLiteral("上書きしますか？"));
        // The diary itself is never written over.
        bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{bed.dataPath(), 0});
        bed.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        dialog.cmdSave_Click();
        QVERIFY(bed.dialogs.texts().constLast().startsWith(QStringLiteral("保存できませんでした。")));
        QVERIFY(bed.openData()->load(QDate(2024, 3, 25)));
    }

    void aLockedDiarysChartWarnsBeforeItIsSaved() {
        TestBed bed(QDate(2024, 3, 31));
        for (const DayRecord& r : diaryOf({QDate(2024, 2, 2), QDate(2024, 3, 1)}, QDate(2024, 3, 5)))
            saveDay(bed, r.date, QString::number(*r.temp), r.guest);
        const auto db = vault::lockDiary(
            bed.dataPath(), vault::Secret::fromText(QStringLiteral("pass phrase")), vault::kCheapestCost, {});
        reportui::ReportDialog dialog(bed.services, *db);
        const QString path = bed.dir.filePath(QStringLiteral("chart.pdf"));
        for (Dialogs::Answer answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
            bed.dialogs.clear();
            bed.dialogs.answers.enqueue(answer);
            bed.dialogs.chosenFiles.enqueue(Dialogs::FileChoice{path, 0});
            dialog.cmdSave_Click();
            QCOMPARE(
                bed.dialogs.calls.constFirst().text,
                QStringLiteral("書き出すﾌｧｲﾙは暗号化されません。\rﾌｧｲﾙを手にした人は誰でも日記を読めるように"
                               "なります。\r保存しますか？"));
            QCOMPARE(bed.dialogs.calls.constFirst().icon, Dialogs::Icon::Exclamation);
            QCOMPARE(QFileInfo::exists(path), answer == Dialogs::Answer::Yes);
        }
    }

    // Before her first cycle has ended the running one is shown; with no period at all, nothing to print.
    void theRunningCycleAloneIsOfferedAtFirst() {
        TestBed bed(QDate(2024, 3, 31));
        for (const DayRecord& r : diaryOf({QDate(2024, 3, 1)}, QDate(2024, 3, 5)))
            saveDay(bed, r.date, QString::number(*r.temp), r.guest);
        auto db = bed.openData();
        reportui::ReportDialog dialog(bed.services, *db);
        QVERIFY(dialog.chkRunning->isChecked() && dialog.hasCycles());
        dialog.chkRunning->click();
        QCOMPARE(dialog.lblRange->text(), QStringLiteral("終わった周期はまだありません。"));
        QVERIFY(!dialog.cmdSave->isEnabled() && !dialog.cmdPrint->isEnabled());
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
