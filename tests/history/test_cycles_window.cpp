// The cycle window over a real data file: its rows, the figures or the sentence instead of them, the batch
// of older cycles, and malformed histories that give no figure.
#include "history/CycleHistory.h"
#include "platform/core/Twips.h"
#include "support/TestBed.h"
#include "ui/history/CycleChart.h"
#include "ui/history/frmCycles.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>

namespace {

QStringList row(const QTableWidget* grid, int r) {
    QStringList texts;
    for (int c = 0; c < grid->columnCount(); ++c) texts << (grid->item(r, c) ? grid->item(r, c)->text() : "");
    return texts;
}

QStringList column(const QTableWidget* grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r) texts << (grid->item(r, c) ? grid->item(r, c)->text() : "");
    return texts;
}

}  // namespace

class TestCyclesWindow : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void showsHerCyclesNewestFirstWithTheirFigures() {
        TestBed bed;
        // Five counted cycles, one too short, one too long, then the running one.
        addPeriods(bed, QDate(2023, 1, 1), {28, 30, 12, 29, 120, 27, 31, 10});
        bed.module.Db = bed.openData();
        bed.module.CycleDays = QStringLiteral("28");
        historyui::frmCycles window(bed.module, bed.services);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(window.windowTitle(), QStringLiteral(" Selvane ～　周期の記録"));
        QCOMPARE(window.grdCycles->rowCount(), 8);
        QCOMPARE(column(window.grdCycles, 1),
                 QStringList({"継続中", "31日", "27日", "120日", "29日", "12日", "30日", "28日"}));
        // In words: whether the temperature rose and for how long; why a cycle is left out.
        QCOMPARE(row(window.grdCycles, 1),
                 QStringList({"2023/09/04", "31日", "4日", "体温の上昇あり：高温期 16日", "36.30℃", ""}));
        QCOMPARE(window.grdCycles->item(1, 3)->toolTip(),
                 QStringLiteral("16日目に体温が上がりました（ｶﾊﾞｰﾗｲﾝ 36.30℃）"));
        QCOMPARE(window.grdCycles->item(0, 3)->text(), QStringLiteral("まだ体温の上昇なし"));
        QCOMPARE(column(window.grdCycles, 5),
                 QStringList({"", "", "", "対象外：99日より長い", "", "対象外：15日より短い", "", ""}));
        QVERIFY(window.grdCycles->item(3, 5)->toolTip().contains(QStringLiteral("記録が抜けている")));
        // The forecast as the main window counts it: the latest period on 2023/10/05, her setting of 28.
        QCOMPARE(window.lblForecast->text(),
                 QStringLiteral("次回月経予定日：2023/11/02(木)　妊娠可能日："
                                "2023/10/17(火)～2023/10/22(日)（周期設定 28日）"));
        QVERIFY(window.lblTooFew->isHidden());
        // Over the latest five counted cycles in both columns: 28 30 29 27 31.
        QCOMPARE(column(window.grdFigures, 0),
                 QStringList({"5周期", "29.0日", "29.0日", "27日", "31日", "1.6日", "4.0日", "14.8日"}));
        QCOMPARE(column(window.grdFigures, 1), column(window.grdFigures, 0));
        QVERIFY(window.lblNotice->text().contains(QStringLiteral("避妊に使えるものではなく")));
        QVERIFY(window.lblNotice->text().contains(QStringLiteral("医学的な助言でもありません")));
        // The chart: finished cycles, oldest on the left, the flagged ones apart.
        std::vector<int> days;
        int counted = 0;
        for (const historyui::CycleChart::Bar& bar : window.chart->bars()) {
            days.push_back(bar.days);
            counted += bar.counted;
        }
        QCOMPARE(days, std::vector<int>({28, 30, 12, 29, 120, 27, 31}));
        QCOMPARE(counted, 5);
        QVERIFY(!window.cmdOlder->isEnabled());
    }

    void olderCyclesComeABatchAtATime() {
        TestBed bed;
        addPeriods(bed, QDate(2020, 1, 1), std::vector<int>(historyui::frmCycles::kBatch + 10, 28));
        bed.module.Db = bed.openData();
        historyui::frmCycles window(bed.module, bed.services);
        QCOMPARE(window.grdCycles->rowCount(), historyui::frmCycles::kBatch);
        QCOMPARE(column(window.grdFigures, 0).constFirst(), QStringLiteral("6周期"));
        QCOMPARE(column(window.grdFigures, 1).constFirst(), QStringLiteral("12周期"));
        QVERIFY(window.cmdOlder->isEnabled());
        QTest::mouseClick(window.cmdOlder, Qt::LeftButton);
        QCOMPARE(window.grdCycles->rowCount(), historyui::frmCycles::kBatch + 10);
        QCOMPARE(window.grdCycles->item(window.grdCycles->rowCount() - 1, 0)->text(),
                 QStringLiteral("2020/01/01"));
        QVERIFY(!window.cmdOlder->isEnabled());
        QVERIFY(window.chart->bars().size() <= size_t(historyui::frmCycles::kBatch));
    }

    // Sized in twips like every window: at 144 DPI without Qt's scaling the window grows with its controls,
    // and none of them falls outside it.
    void itsControlsStayInsideAtAnyDpi_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96") << 96.0;
        QTest::newRow("144") << 144.0;
    }
    void itsControlsStayInsideAtAnyDpi() {
        QFETCH(double, dpi);
        twips::setDpi(dpi);
        const auto restore = qScopeGuard([] { twips::setDpi(96); });
        TestBed bed;
        addPeriods(bed, QDate(2023, 1, 1), {28, 30, 29, 27, 31, 10});
        bed.module.Db = bed.openData();
        historyui::frmCycles window(bed.module, bed.services);
        const QWidget* holder = window.cmdClose->parentWidget();  // the window, or the page of a scroll area
        QCOMPARE(holder->width(), twips::toPixels(900 * 15));
        for (const QWidget* control : holder->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(holder->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }

    void saysSoInsteadOfFiguresFromTooLittle_data() {
        QTest::addColumn<QStringList>("rows");  // DATA_FIL value lists
        QTest::addColumn<int>("cycles");
        QTest::newRow("empty diary") << QStringList{} << 0;
        QTest::newRow("a single day") << QStringList{"'2024-05-01', 36.5, '', '', '', '', 0, 1"} << 1;
        QTest::newRow("readings out of bounds and null")
            << QStringList{"'2024-05-01', 99.9, '', '', '', '', 0, 1",
                           "'2024-05-29', NULL, '', '', '', '', 0, 1",
                           "'2024-06-26', -4, '', '', '', '', 0, 1"}
            << 3;
        QStringList everyDay;
        for (int i = 0; i < 300; ++i)
            everyDay << QStringLiteral("'%1', 36.5, '', '', '', '', 0, 1")
                            .arg(QDate(2024, 1, 1).addDays(i).toString(Qt::ISODate));
        QTest::newRow("every day menstruation") << everyDay << 1;
    }
    void saysSoInsteadOfFiguresFromTooLittle() {
        QFETCH(QStringList, rows);
        QFETCH(int, cycles);
        TestBed bed;
        for (const QString& values : rows) QVERIFY(bed.sql("INSERT INTO DATA_FIL VALUES (" + values + ")"));
        bed.module.Db = bed.openData();
        historyui::frmCycles window(bed.module, bed.services);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(window.grdCycles->rowCount(), cycles);
        QVERIFY(window.grdFigures->isHidden());
        QVERIFY(!window.lblTooFew->isHidden());
        QVERIFY(window.lblTooFew->text().contains(QStringLiteral("3つ以上必要です")));
        if (cycles == 0)
            QCOMPARE(window.lblTooFew->text(),
                     QStringLiteral("統計を出すには、統計に入る周期（15～99日の終わ"
                                    "った周期）が3つ以上必要です。今はありません。"));
        QCOMPARE(window.grdFigures->toolTip(),
                 QStringLiteral("統計に入る周期（15～99日の終わった周期）から計算します"));
        QCOMPARE(column(window.grdCycles, 4).count(QStringLiteral("－")),
                 cycles);  // no shift from no readings
        if (cycles == 0)
            QCOMPARE(window.lblForecast->text(),
                     QStringLiteral("月経の記録がないので、次回月経予定日と妊娠可能日はまだ出せません。"));
    }
};

QTEST_MAIN(TestCyclesWindow)
#include "test_cycles_window.moc"
