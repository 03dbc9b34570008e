// The list window over a real data file: header, rows, marks, merged blocks, failures.
#include "list/ListLayout.h"
#include "list/frmView.h"
#include "platform/core/Twips.h"
#include "support/TestBed.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// Rows of DATA_FIL as SQL value lists: date, TEMP, Memo, SCHEDULE, CONDITION, DIARY, LOVE, GUEST.
void insert(TestBed& bed, const QStringList& rows) {
    for (const QString& values : rows)
        QVERIFY2(bed.sql("INSERT INTO DATA_FIL VALUES (" + values + ")"), qPrintable(values));
}

void prepare(TestBed& bed, const QDate& selected, const QString& cycle = QStringLiteral("28")) {
    bed.module.Db = bed.openData();
    bed.module.SelectedDate = selected;
    bed.module.CycleDays = cycle;
    bed.module.AverageTemp = 36.5f;
}

QStringList row(const frmView& view, int r) {
    QStringList texts;
    for (int c = 0; c < 10; ++c) texts << view.TextMatrix(r, c);
    return texts;
}

QString header(const frmView& view) {
    return view.LABEL_DATE[0]->text() + " " + view.LABEL_BETWEEN->text() + " " + view.LABEL_DATE[1]->text() +
           " " + view.Label1->text();
}

}  // namespace

class TestFrmView : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void showsTheRangeEndingOnTheSelectedDay() {
        TestBed bed;
        insert(bed, {"'2001-12-07', 36.72, '薬', '通院', '良好', '', 1, 1",
                     "'2001-06-10', 37.2, 'x', 'x', 'x', '', 0, 0",
                     "'2002-01-01', 36.9, 'y', 'y', 'y', '', 0, 0"});
        prepare(bed, QDate(2001, 12, 7));
        frmView view(bed.module, bed.services);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(view.windowTitle(), QStringLiteral(" Selvane ～　一覧表示"));
        QCOMPARE(header(view), QStringLiteral("2001/06/10 ～ 2001/12/07 のﾃﾞｰﾀ一覧"));
        QCOMPARE(view.Rows(), 181);
        QCOMPARE(row(view, 0),
                 QStringList({"年", "月", "日", "曜", "体温", "体調", "CD", "SEX", "服薬など", "ｽｹｼﾞｭｰﾙ"}));
        QCOMPARE(row(view, 1),
                 QStringList({"2001", "12", "7", "金", "36.72", "良好", "●", "◎", "薬", "通院"}));
        for (int r = 1; r <= 180; ++r) QVERIFY(!row(view, r).contains("x") && !row(view, r).contains("y"));
        // One block for the year, one per month from 12 down to 6.
        QCOMPARE(view.DATA_FLX->rowSpan(0, 0), 180);
        QList<int> months;
        for (int r = 0; r < 180; r += view.DATA_FLX->rowSpan(r, 1))
            months << view.TextMatrix(r + 1, 1).toInt();
        QCOMPARE(months, QList<int>({12, 11, 10, 9, 8, 7, 6}));
        // Each day cell is aligned as its column's format mark says: "^" centred, "<" left.
        auto alignment = [&](int c) {
            return qvariant_cast<Qt::Alignment>(
                view.DATA_FLX->model()->index(179, c).data(Qt::TextAlignmentRole));
        };
        QCOMPARE(alignment(listview::Temp), Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(alignment(listview::Schedule), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(view.DATA_FLX->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view.DATA_FLX->toolTip(), QStringLiteral("過去180日分のデータ一覧です"));
    }

    void widthFollowsTheMeasuredDigit() {
        TestBed bed;
        prepare(bed, QDate(2001, 5, 20));
        frmView view(bed.module, bed.services);
        const listview::Widths widths = listview::widthsFor(frmView::measureUnit(view.font()));
        QCOMPARE(view.DATA_FLX->width(), twips::toPixels(widths.grid));
        QCOMPARE(view.width(), twips::toPixels(widths.window));
        const int rightMargin = view.width() - view.DATA_FLX->geometry().right() - 1;
        QVERIFY(qAbs(rightMargin - view.DATA_FLX->x()) <= 1);  // equal margins, to a pixel
        QCOMPARE(view.cmdClose->geometry(), twips::rect(8400, 6480, 1815, 375));
        QVERIFY(view.cmdClose->geometry().right() < view.width());
    }

    // A file written elsewhere: two records for one day and Null texts show what they hold and hide nothing.
    void foreignRecordsHideNothing() {
        TestBed bed;
        insert(bed, {"'2001-05-20', 36.8, 'first', '', '', '', 0, 0",
                     "'2001-05-20', 37.0, 'second', '', '', '', 0, 0",
                     "'2001-05-18', 36.6, NULL, NULL, NULL, NULL, NULL, NULL",
                     "'2001-05-10', NULL, 'm', 's', 'c', '', 1, 0"});
        prepare(bed, QDate(2001, 5, 20));
        frmView view(bed.module, bed.services);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(row(view, 1).mid(4), QStringList({"36.80", "", "", "", "first", ""}));
        QCOMPARE(row(view, 3).mid(4), QStringList({"36.60", "", "", "", "", ""}));
        QCOMPARE(row(view, 11).mid(4), QStringList({"", "c", "", "◎", "m", "s"}));
    }

    void marksFertileDays() {
        TestBed bed;
        insert(bed, {"'2001-05-01', 36.2, '', '', '', '', 0, 1", "'2001-05-02', 36.2, '', '', '', '', 0, 1"});
        prepare(bed, QDate(2001, 5, 20));
        frmView view(bed.module, bed.services);
        QStringList marks;
        for (int r = 20; r >= 1; --r) marks << view.TextMatrix(r, 6);
        // 1 May is row 20; days 12 to 17 after it are 13 to 18 May.
        QCOMPARE(marks.join(','), QStringLiteral("●,●,,,,,,,,,,,★,★,★,★,★,★,,"));
    }

    void unreadableCycle_data() {
        QTest::addColumn<bool>("menstruation");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no ● is never read") << false << QStringList{};
        QTest::newRow("● reads it and reports") << true << QStringList{"型が一致しません。"};
    }
    void unreadableCycle() {
        QFETCH(bool, menstruation);
        TestBed bed;
        insert(bed, {QString("'2001-05-01', 36.2, 'a', '', '', '', 0, %1").arg(menstruation ? 1 : 0)});
        prepare(bed, QDate(2001, 5, 20), QStringLiteral("abc"));
        frmView view(bed.module, bed.services);
        QTEST(bed.dialogs.texts(), "messages");
        for (const auto& call : bed.dialogs.calls) {
            QCOMPARE(call.title, QStringLiteral("PG-Error"));
            QCOMPARE(call.icon, Dialogs::Icon::Critical);
        }
        // The fill finishes: every row is there, the "●" kept.
        QCOMPARE(row(view, 20).mid(0, 9),
                 QStringList({"2001", "5", "1", "火", "36.20", "", menstruation ? "●" : "", "", "a"}));
        QCOMPARE(view.TextMatrix(180, 0), QStringLiteral("2000"));
    }

    void failedStatementLeavesAnEmptyGrid() {
        TestBed bed;
        prepare(bed, QDate(2001, 5, 20));
        QVERIFY(bed.sql("DROP TABLE DATA_FIL"));
        frmView view(bed.module, bed.services);
        QCOMPARE(bed.dialogs.texts(),
                 QStringList({"アプリケーション定義またはオブジェクト定義のエラーです。"}));
        QCOMPARE(header(view), QStringLiteral("2000/11/21 ～ 2001/05/20 のﾃﾞｰﾀ一覧"));
        QCOMPARE(view.TextMatrix(1, 0), QString());
        QVERIFY(view.DATA_FLX->updatesEnabled());
    }
};

QTEST_MAIN(TestFrmView)
#include "test_frmview.moc"
