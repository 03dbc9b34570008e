#include "main/frmMain.h"
#include "platform/core/PgError.h"
#include "support/MainBed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace {

using Panel = frmMain::Panel;

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

const QString kSaveQuestion = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kDiscardQuestion = QStringLiteral("編集を破棄して終了します。よろしいですか？");
const QString kOverwrite = QStringLiteral("上書きしますか？");

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void startsWithTodayAndDefaults() {
        MainBed bed(QDate(2001, 5, 2));
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral(" Selvane Ver. 3.01"));
        QCOMPARE(w->panelText(Panel::Date), QStringLiteral("2001年05月02日"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　36.5℃"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります"));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("通常日"));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.5"));
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 2));
        QCOMPARE(ui(w).MonthView1->selectedDate(), QDate(2001, 5, 2));
        QVERIFY(!bed.module.DataChanged);
        QCOMPARE(bed.rowCount(), 0);  // start-up writes nothing
    }

    void startsWithStoredSettingsAndTodaysRow() {
        MainBed bed(QDate(2001, 3, 14));
        bed.settings->save("G_CYCLE", "DATA", "30.4");
        bed.settings->save("AVE_TEMP", "DATA", "36.50");
        saveDay(bed, QDate(2001, 3, 1), "36.2", true);
        saveDay(bed, QDate(2001, 3, 14), "36.72", false, "日記");
        frmMain* w = bed.startMain();
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　30.4日"));
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　36.5℃"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2001年03月31日 土曜日です"));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("妊娠可能日"));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.72"));
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("日記"));
        QVERIFY(!bed.module.DataChanged);
    }

    void refusesToStartWithoutItsDataFile() {
        MainBed bed(QDate(2001, 5, 2), false);
        bed.settings->save("AVE_TEMP", "DATA", "not read");
        QVERIFY(!bed.startMain());
        QCOMPARE(bed.dialogs.calls.size(), 1);
        const auto& call = bed.dialogs.calls.first();
        QCOMPARE(call.text, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。"));
        QCOMPARE(call.title, QStringLiteral("ｴﾗｰ"));
        QCOMPARE(call.icon, Icon::Exclamation);
        QCOMPARE(call.buttons, Buttons::Ok);
    }

    void unreadableSettingIsReportedAndStartUpStops() {
        MainBed bed(QDate(2001, 5, 2));
        bed.settings->save("AVE_TEMP", "DATA", "abc");
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("PG-Error"));
        QCOMPARE(bed.dialogs.calls[0].icon, Icon::Critical);
        QCOMPARE(bed.dialogs.calls[0].text, QStringLiteral("型が一致しません。"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平常体温"));
    }

    void closingWithoutEditsEndsAtOnce() {
        MainBed bed;
        frmMain* w = bed.startMain();
        QVERIFY(w->close());
        QCOMPARE(bed.processEnds, 1);
        QVERIFY(bed.dialogs.calls.isEmpty());
    }

    void closingWithEdits_data() {
        QTest::addColumn<bool>("rowExists");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QString>("stored");
        QTest::newRow("yes saves and ends")
            << false << QList<Answer>{Answer::Yes} << QStringList{kSaveQuestion} << true << "37.1";
        QTest::newRow("yes, overwrite declined stays")
            << true << QList<Answer>{Answer::Yes, Answer::No} << QStringList{kSaveQuestion, kOverwrite}
            << false << "36.4";
        QTest::newRow("yes, overwrite accepted ends")
            << true << QList<Answer>{Answer::Yes, Answer::Yes} << QStringList{kSaveQuestion, kOverwrite}
            << true << "37.1";
        QTest::newRow("no then no stays") << true << QList<Answer>{Answer::No, Answer::No}
                                          << QStringList{kSaveQuestion, kDiscardQuestion} << false << "36.4";
        QTest::newRow("no then yes ends unsaved")
            << true << QList<Answer>{Answer::No, Answer::Yes} << QStringList{kSaveQuestion, kDiscardQuestion}
            << true << "36.4";
    }
    void closingWithEdits() {
        QFETCH(bool, rowExists);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, questions);
        QFETCH(bool, ends);
        QFETCH(QString, stored);
        MainBed bed(QDate(2001, 5, 2));
        if (rowExists) saveDay(bed, QDate(2001, 5, 2), "36.4");
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText("37.1");
        for (Answer a : answers) bed.dialogs.answers.enqueue(a);
        // The toolbar's close button asks exactly what the close box asks.
        w->Toolbar1_ButtonClick("close");
        QCOMPARE(bed.dialogs.texts(), questions);
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("保存確認"));
        QCOMPARE(bed.dialogs.calls[0].icon, Icon::Question);
        QCOMPARE(bed.processEnds, ends ? 1 : 0);
        if (!ends) {
            QVERIFY(bed.module.DataChanged);
            QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("37.1"));
        }
        const auto row = bed.openData()->load(QDate(2001, 5, 2));
        QCOMPARE(row ? QString::number(*row->temp) : QStringLiteral("36.4"), stored);
    }

    void failedSaveOnClosingKeepsTheWindowOpen() {
        MainBed bed;
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText("hot");
        bed.dialogs.answers.enqueue(Answer::Yes);
        QVERIFY(!w->close());
        QCOMPARE(bed.processEnds, 0);
        QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("PG-Error"));
        QCOMPARE(bed.dialogs.calls.last().text,
                 QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。"));
        QVERIFY(bed.module.DataChanged);
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("hot"));
        QCOMPARE(bed.rowCount(), 0);
    }

    void clickingADayWithoutEditsShowsIt() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 3), "36.72", true, "三日");
        frmMain* w = bed.startMain();
        clickDay(w, QDate(2001, 5, 3));
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(w->panelText(Panel::Date), QStringLiteral("2001年05月03日"));
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 3));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.72"));
        QVERIFY(ui(w).chkMens->isChecked());
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("三日"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2001年05月31日 木曜日です"));
        QVERIFY(!bed.module.DataChanged);
        // A day without a row shows the defaults.
        clickDay(w, QDate(2001, 5, 4));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.5"));
        QVERIFY(!ui(w).chkMens->isChecked());
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QString());
        QVERIFY(!bed.module.DataChanged);
    }

    void pendingEditsGoToTheDayBeingLeft() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        ui(w).txtCondition->setText("頭痛");
        QVERIFY(bed.module.DataChanged);
        bed.dialogs.answers.enqueue(Answer::Yes);
        clickDay(w, QDate(2001, 5, 3));
        QCOMPARE(bed.dialogs.texts(), QStringList{kSaveQuestion});
        QCOMPARE(bed.openData()->load(QDate(2001, 5, 20))->condition, QStringLiteral("頭痛"));
        QVERIFY(!bed.openData()->load(QDate(2001, 5, 3)));
        QCOMPARE(ui(w).txtCondition->text(), QString());
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 3));
    }

    void declinedOverwriteDropsEditsAndShowsTheClickedDay() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 20), "36.4");
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText("37.0");
        bed.dialogs.answers << Answer::Yes << Answer::No;
        clickDay(w, QDate(2001, 5, 3));
        QCOMPARE(bed.dialogs.texts(), (QStringList{kSaveQuestion, kOverwrite}));
        QCOMPARE(*bed.openData()->load(QDate(2001, 5, 20))->temp, 36.4);
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 3));
        QVERIFY(!bed.module.DataChanged);
    }

    void failedSaveOnClickKeepsTheEditsAndTheDay() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        const QString panel4 = w->panelText(Panel::NextPeriod);
        ui(w).txtTemp->setText("36..5");
        bed.dialogs.answers.enqueue(Answer::Yes);
        clickDay(w, QDate(2001, 5, 3));
        QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("PG-Error"));
        QCOMPARE(ui(w).MonthView1->selectedDate(), QDate(2001, 5, 20));
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 20));
        QCOMPARE(w->panelText(Panel::Date), QStringLiteral("2001年05月20日"));
        QCOMPARE(w->panelText(Panel::NextPeriod), panel4);
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36..5"));
        QVERIFY(bed.module.DataChanged);
    }

    void clickingTheSameDayAndAnsweringNoReloadsIt() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 20), "36.4");
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText("39");
        bed.dialogs.answers.enqueue(Answer::No);
        clickDay(w, QDate(2001, 5, 20));
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.4"));
        QVERIFY(!bed.module.DataChanged);
    }

    void nullFieldsOfAForeignFileLoadAsEmpty() {
        MainBed bed(QDate(2001, 5, 20));
        bed.sql("INSERT INTO DATA_FIL (DAT_DATE, Memo) VALUES ('2001-05-03', '薬')");
        frmMain* w = bed.startMain();
        ui(w).txtCondition->setText("前の日");
        bed.dialogs.answers.enqueue(Answer::No);
        clickDay(w, QDate(2001, 5, 3));
        QCOMPARE(bed.dialogs.texts(), QStringList{kSaveQuestion});  // no error box
        QCOMPARE(ui(w).txtTemp->text(), QString());
        QCOMPARE(ui(w).txtCondition->text(), QString());
        QCOMPARE(ui(w).txtMemo->text(), QStringLiteral("薬"));
        QVERIFY(!ui(w).chkSex->isChecked());
    }

    void savingAddsThenAsksBeforeOverwriting() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        w->mnuRegister_Click();  // an unedited day is saved all the same
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(bed.rowCount(), 1);
        QCOMPARE(*bed.openData()->load(QDate(2001, 5, 20))->temp, 36.5);

        ui(w).txtTemp->setText("");
        ui(w).txtMemo->setText("ピル");
        ui(w).chkSex->setChecked(true);
        ui(w).rtbDiary->setHtml("<b>太字</b>の日記");
        bed.dialogs.answers.enqueue(Answer::No);
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Declined);
        QCOMPARE(bed.dialogs.calls.last().text, kOverwrite);
        QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("Selvane"));
        QVERIFY(bed.module.DataChanged);
        QCOMPARE(bed.openData()->load(QDate(2001, 5, 20))->memo, QString());

        bed.dialogs.answers.enqueue(Answer::Yes);
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QVERIFY(!bed.module.DataChanged);
        QCOMPARE(bed.rowCount(), 1);
        const auto row = bed.openData()->load(QDate(2001, 5, 20));
        QCOMPARE(*row->temp, 36.5);  // an empty temperature is stored as the average
        QCOMPARE(row->memo, QStringLiteral("ピル"));
        QCOMPARE(row->diary, QStringLiteral("太字の日記"));
        QVERIFY(row->love && !row->guest);
    }

    // A save writes back exactly what was read wherever she changed nothing: the line breaks of another
    // program, no-break spaces, line and paragraph separators, a leading byte-order mark, a long medication.
    void savingKeepsWhatSheDidNotEdit_data() {
        QTest::addColumn<QString>("typedAt");  // where she types "ok" into the diary, if anywhere
        QTest::newRow("only the menstruation box ticked") << "";
        QTest::newRow("typed at the end") << "end";
        QTest::newRow("typed at the start") << "start";
    }
    void savingKeepsWhatSheDidNotEdit() {
        QFETCH(QString, typedAt);
        const QString diary =
            QString::fromUtf8("\xEF\xBB\xBF一行目\n\r二行目\r\n三\xC2\xA0\xE2\x80\xA8四\xE2\x80\xA9五\r");
        const QString memo(40000, QChar(0x85AC));  // 薬
        const QString condition = QStringLiteral("良い\r\n眠い");
        MainBed bed(QDate(2001, 5, 20));
        bed.sql(QStringLiteral("INSERT INTO DATA_FIL VALUES ('2001-05-20', 36.5, CAST(X'%1' AS TEXT), '',"
                               " CAST(X'%2' AS TEXT), CAST(X'%3' AS TEXT), 0, 0)")
                    .arg(QString::fromLatin1(memo.toUtf8().toHex()),
                         QString::fromLatin1(condition.toUtf8().toHex()),
                         QString::fromLatin1(diary.toUtf8().toHex())));
        frmMain* w = bed.startMain();
        ui(w).chkMens->setChecked(true);
        if (!typedAt.isEmpty()) {
            ui(w).rtbDiary->moveCursor(typedAt == "start" ? QTextCursor::Start : QTextCursor::End);
            QTest::keyClicks(ui(w).rtbDiary, "ok");
        }
        bed.dialogs.answers.enqueue(Answer::Yes);
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        const auto row = bed.openData()->load(QDate(2001, 5, 20));
        QCOMPARE(row->diary, typedAt == "start" ? "ok" + diary : typedAt == "end" ? diary + "ok" : diary);
        QCOMPARE(row->memo, memo);
        QCOMPARE(row->condition, condition);
        QVERIFY(row->guest);
    }

    void savingDoesNotRecomputeTheForecast() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        ui(w).chkMens->setChecked(true);
        w->mnuRegister_Click();
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります"));
        clickDay(w, QDate(2001, 5, 21));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2001年06月17日 日曜日です"));
    }

    void forecastFailureShowsItsDescription() {
        MainBed bed(QDate(2001, 5, 20));
        bed.settings->save("G_CYCLE", "DATA", "abc");
        saveDay(bed, QDate(2001, 5, 1), "36.5", true);
        frmMain* w = bed.startMain();
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.dialogs.calls[0].text, QStringLiteral("型が一致しません。"));
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("Selvane"));
        QCOMPARE(bed.dialogs.calls[0].icon, Icon::None);
        QCOMPARE(w->panelText(Panel::NextPeriod), QStringLiteral("次回月経日"));
        QCOMPARE(w->panelText(Panel::Date), QStringLiteral("2001年05月20日"));
    }

    void standardButtonsAreJapanese() {
        QtDialogs dialogs;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton* button : box->buttons()) buttons.append(button->text());
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.message(nullptr, "?", "Selvane", Dialogs::Icon::Question, Dialogs::Buttons::YesNo),
                 Answer::No);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")}));
    }

    // A question whose Yes cannot be undone answers No to Enter; the others Yes, as before.
    void aQuestionCanDefaultToNo() {
        QtDialogs dialogs;
        for (const auto buttons : {Dialogs::Buttons::YesNo, Dialogs::Buttons::YesNoDefaultNo}) {
            QTimer::singleShot(0, [] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QTest::keyClick(box, Qt::Key_Return);
            });
            QCOMPARE(dialogs.message(nullptr, "?", "Selvane", Dialogs::Icon::Question, buttons),
                     buttons == Dialogs::Buttons::YesNo ? Answer::Yes : Answer::No);
        }
    }

    // The days of a comparison, ticked from the keyboard one by one (Space) or all at once (Alt+F): the
    // answer follows, item for item.
    void aComparisonIsTickedFromTheKeyboard() {
        QtDialogs dialogs;
        const std::vector<Dialogs::Difference> days{
            {QStringLiteral("2024/05/02(木)"), {"基礎体温\t36.5\t36.6"}},
            {QStringLiteral("2024/05/03(金)"), {"月経\tなし\tあり"}}};
        const QStringList headings{"日付・項目", "自分のﾃﾞｰﾀ", "ﾌｧｲﾙのﾃﾞｰﾀ"};
        for (const bool all : {false, true}) {
            QTimer::singleShot(0, [&] {
                QWidget* dialog = QApplication::activeModalWidget();
                auto* tree = dialog->findChild<QTreeWidget*>(QStringLiteral("treDifferences"));
                QVERIFY(tree && tree->topLevelItem(0)->checkState(0) == Qt::Unchecked);
                QCOMPARE(tree->accessibleName(), headings[0]);
                if (all) {
                    QApplication::setActiveWindow(dialog);
                    QVERIFY(QTest::qWaitForWindowActive(dialog));
                    QTest::keyClick(dialog, Qt::Key_F, Qt::AltModifier);
                    // An access key clicks its button after a short press, as the mouse does.
                    QTRY_COMPARE(tree->topLevelItem(0)->checkState(0), Qt::Checked);
                } else {
                    tree->setFocus();
                    tree->setCurrentItem(tree->topLevelItem(1));
                    QTest::keyClick(tree->viewport(), Qt::Key_Space);
                }
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
            QCOMPARE(dialogs.compare(nullptr, QStringLiteral("選んで下さい"), "Selvane", headings, days),
                     std::optional<std::vector<bool>>({all, true}));
        }
    }

    // The parts of each choice in columns: the second part of every row starts after the longest first one.
    void choicesLineUpInColumns() {
        QtDialogs dialogs;
        const QStringList options{QStringLiteral("2024年05月03日 10:00:00\t手動\t3日分"),
                                  QStringLiteral("2024年05月02日 09:00:00\tその日最初の登録の後\t120日分"),
                                  QStringLiteral("2024年04月30日 08:00:00\t戻す前\t118日分")};
        int second = -1, longest = 0;
        QTimer::singleShot(0, [&] {
            auto* list =
                QApplication::activeModalWidget()->findChild<QTreeWidget*>(QStringLiteral("lstChoices"));
            QVERIFY(list);
            QCOMPARE(list->columnCount(), 3);
            second = list->columnViewportPosition(2);
            longest = list->fontMetrics().horizontalAdvance(QStringLiteral("その日最初の登録の後")) +
                      list->columnViewportPosition(1);
            list->setCurrentItem(list->topLevelItem(1));
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(dialogs.choose(nullptr, QStringLiteral("選んで下さい"), "Selvane", options),
                 std::optional<int>(1));
        QVERIFY2(second > longest, qPrintable(QStringLiteral("%1 %2").arg(second).arg(longest)));
    }

    void layoutNamesEveryControl() {
        MainBed bed;
        frmMain* w = bed.startMain();
        QCOMPARE(ui(w).txtTemp->accessibleName(), QStringLiteral("基礎体温"));
        QCOMPARE(ui(w).Label1->buddy(), ui(w).txtTemp);
        QCOMPARE(ui(w).txtTemp->toolTip(), QStringLiteral("基礎体温を入力して下さい"));
        QCOMPARE(ui(w).chkMens->toolTip(), QStringLiteral("月経があればﾁｪｯｸを入れて下さい"));
        auto nextTab = [](QWidget* from) {
            QWidget* next = from->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
            return next;
        };
        QCOMPARE(nextTab(ui(w).txtTemp), ui(w).txtCondition);
        QCOMPARE(nextTab(ui(w).txtCondition), ui(w).chkMens);
        QCOMPARE(nextTab(ui(w).chkMens), ui(w).chkSex);
        QCOMPARE(nextTab(ui(w).chkSex), ui(w).txtMemo);
        QCOMPARE(nextTab(ui(w).txtMemo), ui(w).txtSchedule);
        QVERIFY(w->findChild<QLineEdit*>("txtSchedule"));
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
