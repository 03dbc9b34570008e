// The forecast from her records: off by default, the cycle it counts with in the forecast, the fertile-day
// panel and the list's marks, panel 2 with its mark and range, after a save, a restart and a damaged setting.
#include "data/DataFile.h"
#include "history/CycleHistory.h"
#include "list/ListRows.h"
#include "list/frmView.h"
#include "support/MainBed.h"
#include "ui/history/HistoryOption.h"
#include "ui/history/frmCycles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

using Panel = frmMain::Panel;

// Cycles of 29 30 31 30 32 days, the latest period starting on 1 March 2024 and running until today.
const QDate kToday(2024, 3, 20);
const QDate kLatestStart(2024, 3, 1);

void addHerCycles(MainBed& bed) { addPeriods(bed, QDate(2023, 10, 1), {29, 30, 31, 30, 32, 20}); }

QString stored(const MainBed& bed) { return bed.settings->get(historyui::kOptionSection, settingkeys::kKey); }

QLabel* panel(frmMain* w, Panel which) {
    return w->findChild<QLabel*>(QStringLiteral("panel%1").arg(int(which) + 1));
}
QString panelTip(frmMain* w, Panel which) { return panel(w, which)->toolTip(); }
// Whether the panel is wide enough for its whole text.
bool fits(frmMain* w, Panel which) {
    const QLabel* label = panel(w, which);
    return label->minimumWidth() >= label->fontMetrics().horizontalAdvance(label->text());
}

// The mark column of the list window over the 20 days up to today, as the main window opens it: the days
// marked fertile.
QList<QDate> fertileDays(MainBed& bed) {
    bed.module.SelectedDate = kToday;
    frmView view(bed.module, bed.services, {}, nullptr, bed.main->cycleInUse());
    QList<QDate> days;
    for (int r = 1; r <= 20; ++r)
        if (view.TextMatrix(r, listview::Mark) == listview::kFertile) days.prepend(kToday.addDays(1 - r));
    return days;
}

QList<QDate> daysFrom(int first, int last) {
    QList<QDate> days;
    for (int i = first; i <= last; ++i) days << kLatestStart.addDays(i);
    return days;
}

}  // namespace

class TestHistoryForecast : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    // A cold of 37.45 °C on days 11-13 reads as a shift until she marks those readings from the File menu:
    // the item follows the selected day (ticked where it is marked; a day without a reading is told so), the
    // mark stays when she corrects the reading, and her cycles then have no shift.
    void aReadingSheMarksLeavesTheShift() {
        MainBed bed(kToday);
        const QDate start(2024, 2, 1);
        for (int i = 0; i <= 29; ++i) {
            const bool fever = i >= 10 && i <= 12;
            saveDay(bed, start.addDays(i), fever ? "37.45" : "36.30", i == 0 || i == 29);
        }
        frmMain* w = bed.startMain();
        QCOMPARE(history::allCycles(*bed.module.Db).front().shiftDay, std::optional<int>(11));
        QAction* mark = menuItem(w, "mnuFileExcludeTemp");
        auto* file = w->findChild<QMenu*>(QStringLiteral("mnuFile"));
        QVERIFY(mark->isCheckable() && mark->text().contains(u'&'));
        bed.module.SelectedDate = kToday;  // a day without a reading: she is told, nothing is marked
        mark->trigger();
        QVERIFY(!mark->isChecked());
        QCOMPARE(bed.dialogs.texts(), QStringList{"この日の基礎体温はまだ登録されていません。\r"
                                                  "体温を登録してから除外して下さい。"});
        bed.dialogs.clear();
        for (int i = 10; i <= 12; ++i) {
            bed.module.SelectedDate = start.addDays(i);
            emit file->aboutToShow();
            QVERIFY(!mark->isChecked());
            mark->trigger();
            QVERIFY(mark->isChecked());
        }
        QVERIFY(!history::allCycles(*bed.module.Db).front().shiftDay);
        saveDay(bed, start.addDays(11), "37.25");  // corrected: still marked
        emit file->aboutToShow();
        QVERIFY(mark->isChecked());
        QCOMPARE(bed.openData()->excludedDays(start, kToday).size(), size_t(3));
        mark->trigger();  // taken away again: the reading counts
        QCOMPARE(bed.openData()->excludedDays(start, kToday).size(), size_t(2));
        QVERIFY(bed.dialogs.calls.isEmpty());
    }

    void theForecastCountsHerCyclesOnlyWhileTurnedOn() {
        MainBed bed(kToday);
        addHerCycles(bed);
        frmMain* w = bed.startMain();
        QVERIFY(!menuItem(w, "mnuSetHistoryCycle")->isChecked());
        QVERIFY(menuItem(w, "mnuSetHistoryCycle")->isCheckable());
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2024年03月29日 金曜日です"));
        QCOMPARE(fertileDays(bed), daysFrom(12, 17));
        QVERIFY(stored(bed).isEmpty());  // nothing is written until she chooses
        const int designed = panel(w, Panel::Cycle)->minimumWidth() + panel(w, Panel::State)->minimumWidth();
        const int forecastWidth = panel(w, Panel::NextPeriod)->minimumWidth();

        menuItem(w, "mnuSetHistoryCycle")->trigger();
        QVERIFY(menuItem(w, "mnuSetHistoryCycle")->isChecked());
        QCOMPARE(stored(bed), QStringLiteral("1"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　30日(記録)"));
        QCOMPARE(panelTip(w, Panel::Cycle), QStringLiteral("直近5周期：29～32日（中央値30日）"));
        QVERIFY(
            fits(w, Panel::Cycle));  // the mark takes its room from the state panel, not from the forecast's
        QCOMPARE(panel(w, Panel::Cycle)->minimumWidth() + panel(w, Panel::State)->minimumWidth(), designed);
        QCOMPARE(panel(w, Panel::NextPeriod)->minimumWidth(), forecastWidth);
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2024年03月31日 日曜日です"));
        QCOMPARE(fertileDays(bed), daysFrom(13, 18));
        // The cycle window names the same days, counted with the same cycle.
        QString outlook;
        QTimer::singleShot(0, this, [&] {
            if (auto* cycles = qobject_cast<historyui::frmCycles*>(QApplication::activeModalWidget())) {
                outlook = cycles->lblForecast->text();
                cycles->reject();
            }
        });
        menuItem(w, "mnuViewCycles")->trigger();
        QCOMPARE(outlook, QStringLiteral("次回月経予定日：2024/03/31(日)　妊娠可能日：2024/03/14(木)～"
                                         "2024/03/19(火)（記録から計算した周期 30日）"));
        clickDay(w, kLatestStart.addDays(12));
        QCOMPARE(w->panelText(Panel::State),
                 QStringLiteral("通常日"));  // day 12 is fertile for 28 days, not for 30
        clickDay(w, kLatestStart.addDays(18));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("妊娠可能日"));
        QVERIFY(fits(w, Panel::State));

        // A cycle typed meanwhile is kept for when the option is off again.
        bed.dialogs.inputs.enqueue(QStringLiteral("26"));
        w->mnuSetCycle_Click();
        QCOMPARE(bed.settings->get(settingkeys::kCycleSection, settingkeys::kKey), QStringLiteral("26"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　30日(記録)"));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("妊娠可能日"));

        menuItem(w, "mnuSetHistoryCycle")->trigger();
        QCOMPARE(stored(bed), QStringLiteral("0"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　26日"));
        QCOMPARE(panelTip(w, Panel::Cycle), w->panelText(Panel::Cycle));
        QCOMPARE(panel(w, Panel::Cycle)->minimumWidth() + panel(w, Panel::State)->minimumWidth(), designed);
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2024年03月27日 水曜日です"));
        QCOMPARE(fertileDays(bed), daysFrom(11, 16));
        QVERIFY(bed.dialogs.calls.size() == 1);  // the cycle dialog's input box and nothing else
    }

    void theOptionSurvivesARestartAndADamagedSetting_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << QByteArray("1") << true;
        QTest::newRow("off") << QByteArray("0") << false;
        QTest::newRow("a word") << QByteArray("yes") << false;
        QTest::newRow("full-width one") << QByteArray("\xef\xbc\x91") << false;
        QTest::newRow("binary") << QByteArray("\x01\xff\xfe") << false;
    }
    void theOptionSurvivesARestartAndADamagedSetting() {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        MainBed bed(kToday);
        addHerCycles(bed);
        QFile file(bed.settings->filePath());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        file.write("[" + historyui::kOptionSection.toLatin1() + "]\nDATA=" + value + "\n");
        file.close();
        for (int run = 0; run < 2; ++run) {  // the second start is a restart over the same store
            frmMain* w = bed.startMain();
            QVERIFY(w);
            QCOMPARE(menuItem(w, "mnuSetHistoryCycle")->isChecked(), on);
            QCOMPARE(w->panelText(Panel::Cycle),
                     on ? QStringLiteral("月経周期：　30日(記録)") : QStringLiteral("月経周期：　28日"));
            bed.main.reset();
        }
        QVERIFY(bed.dialogs.calls.isEmpty());
    }

    void aSaveThatCompletesACycleMovesTheForecast_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << true;
        QTest::newRow("off: the forecast waits for the next click") << false;
    }
    void aSaveThatCompletesACycleMovesTheForecast() {
        QFETCH(bool, on);
        // Two counted cycles and a running one from 31 January: too few for a figure until it ends.
        MainBed bed(QDate(2024, 2, 29));
        addPeriods(bed, QDate(2023, 12, 1), {30, 31, 20});
        historyui::storeOption(*bed.settings, on);
        frmMain* w = bed.startMain();
        const QString before = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
        QCOMPARE(w->panelText(Panel::NextPeriod), before);
        // On, yet too few: the item and the panel say why her setting is in use.
        QCOMPARE(menuItem(w, "mnuSetHistoryCycle")->text(),
                 on ? QStringLiteral("記録から周期を計算(&H)（まだ周期が足りません）")
                    : QStringLiteral("記録から周期を計算(&H)"));
        QCOMPARE(panelTip(w, Panel::Cycle),
                 on ? QStringLiteral(
                          "記録から周期を計算するには、統計に入る周期（15～99日の終わった周期）が3つ以上"
                          "必要です。今は2つなので、周期設定を使っています。")
                    : w->panelText(Panel::Cycle));
        ui(w).chkMens->setChecked(true);
        w->mnuRegister_Click();
        QCOMPARE(bed.rowCount(), 82);
        QCOMPARE(w->panelText(Panel::Cycle),
                 on ? QStringLiteral("月経周期：　30日(記録)") : QStringLiteral("月経周期：　28日"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 on ? QStringLiteral("次回月経予定日は2024年03月30日 土曜日です") : before);
        QCOMPARE(menuItem(w, "mnuSetHistoryCycle")->text(), QStringLiteral("記録から周期を計算(&H)"));
        QVERIFY(panelTip(w, Panel::Cycle)
                    .startsWith(on ? QStringLiteral("直近3周期") : QStringLiteral("月経周期")));
    }
};

QTEST_MAIN(TestHistoryForecast)
#include "test_history_forecast.moc"
