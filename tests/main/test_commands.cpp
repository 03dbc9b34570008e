#include "graph/GraphPoints.h"
#include "help/HelpViewer.h"
#include "help/frmAbout.h"
#include "list/FittedNumberDelegate.h"
#include "list/frmView.h"
#include "main/frmMain.h"
#include "platform/core/JaText.h"
#include "support/MainBed.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

using Panel = frmMain::Panel;

QString listHeader(const frmView& view) {
    return view.LABEL_DATE[0]->text() + " " + view.LABEL_BETWEEN->text() + " " + view.LABEL_DATE[1]->text() +
           " " + view.Label1->text();
}

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;
using Kind = ScriptedDialogs::Call::Kind;

const QString kSaveQuestion = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kPurgeMay20 = QStringLiteral(
    "2001年05月20日以前のﾃﾞｰﾀは完全に消去されます。\r続けますか？\r(この操作は元に戻せません)");

QStringList dates(const TestBed& bed) {
    auto db = bed.openData();
    QStringList out;
    for (const DayRecord& r : db->range(QDate(1900, 1, 1), QDate(2100, 1, 1)))
        out.prepend(r.date.toString(Qt::ISODate) + QLatin1Char(' ') + r.diary);
    return out;
}

QAction* toolbarButton(frmMain* w, const QString& key) {
    for (QAction* a : ui(w).Toolbar1->actions())
        if (a->data().toString() == key) return a;
    return nullptr;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    // ---- Menus and toolbar ------------------------------------------------------------------------

    void menuTreeAsWritten() {
        MainBed bed;
        frmMain* w = bed.startMain();
        QStringList tree;
        for (QAction* top : w->menuBar()->actions()) {
            tree << top->menu()->objectName() + QLatin1Char(' ') + top->text();
            for (QAction* a : top->menu()->actions())
                tree << QStringLiteral("  ") + a->objectName() + QLatin1Char(' ') +
                            (a->isSeparator() ? "-" : a->text());
        }
        const QStringList expected{"mnuFile ﾌｧｲﾙ(&F)",
                                   "  mnuRegister ﾃﾞｰﾀ登録(&R)",
                                   "  mnuPartition -",
                                   "  mnuFileDiarySave 日記をﾌｧｲﾙに保存(&D)",
                                   "  mnuPartition3 -",
                                   "  mnuFileExportAll 全ﾃﾞｰﾀの書き出し(&E)...",
                                   "  mnuFileImport ﾃﾞｰﾀの読み込み(&I)...",
                                   "  mnuFileChart 基礎体温表の印刷(&T)...",
                                   "  mnuFilePartitionExclude -",
                                   "  mnuFileExcludeTemp この日の体温を除外(&G)",
                                   "  mnuExit 閉じる(&X)",
                                   "mnuView ﾋﾞｭｰ(&W)",
                                   "  mnuViewAll 一覧(&P)",
                                   "  mnuViewCycles 周期の記録(&S)",
                                   "mnuSet 設定(&S)",
                                   "  mnuSetTemp 平均体温設定(&R)",
                                   "  mnuSetCycle 周期設定(&E)",
                                   "  mnuSetMente ﾃﾞｰﾀﾌｧｲﾙﾒﾝﾃﾅﾝｽ(&M)",
                                   "  mnuSetRestore ﾊﾞｯｸｱｯﾌﾟから戻す(&B)...",
                                   "  mnuSetPartitionLock -",
                                   "  mnuSetPassphrase ﾊﾟｽﾜｰﾄﾞの設定(&P)...",
                                   "  mnuSetLockTime 自動ﾛｯｸの設定(&L)...",
                                   "  mnuSetPartitionHistory -",
                                   "  mnuSetHistoryCycle 記録から周期を計算(&H)",
                                   "  mnuSetPartitionSync -",
                                   "  mnuSetSync 同期の設定(&Y)...",
                                   "  mnuSetSyncConflicts 同期の競合(&K)...",
                                   "mnuHelp ﾍﾙﾌﾟ(&H)",
                                   "  mnuSelvane Selvane Ver. 3.01のﾍﾙﾌﾟ(&L)",
                                   "  mnuPartition2 -",
                                   "  mnuHelpVirsion ﾊﾞｰｼﾞｮﾝ情報(&A)"};
        QCOMPARE(tree, expected);
        for (QAction* top : w->menuBar()->actions())
            for (QAction* a : top->menu()->actions()) {
                QVERIFY(a->shortcut().isEmpty());
                QVERIFY(a->isEnabled() && a->isVisible());
            }
        // The chart needs a cycle; without one she is told so and no dialog opens.
        bed.dialogs.clear();
        menuItem(w, "mnuFileChart")->trigger();
        QCOMPARE(bed.dialogs.texts(), QStringList{"月経の記録がないので、基礎体温表を作れません。"});
    }

    void toolbarButtonsAsWritten() {
        MainBed bed;
        frmMain* w = bed.startMain();
        QStringList keys, tips;
        QList<int> images;
        for (QAction* a : ui(w).Toolbar1->actions()) {
            keys << a->data().toString();
            tips << a->toolTip();
            auto* button = qobject_cast<QToolButton*>(ui(w).Toolbar1->widgetForAction(a));
            QVERIFY(button && button->toolButtonStyle() == Qt::ToolButtonIconOnly);
            for (int i = 0; i < w->imageList().size(); ++i)
                if (w->imageList()[i].cacheKey() == a->icon().cacheKey()) images << i + 1;
        }
        QCOMPARE(keys, (QStringList{"regist", "savediary", "view", "cycle", "avetemp", "mente", "close"}));
        QCOMPARE(tips, (QStringList{"ﾃﾞｰﾀの登録", "日記の保存", "一覧表示", "月経周期を設定します",
                                    "平均体温を設定します", "ﾃﾞｰﾀﾌｧｲﾙのﾒﾝﾃﾅﾝｽを行います", "Selvaneの終了"}));
        QCOMPARE(images, (QList<int>{3, 1, 5, 6, 8, 9, 7}));
        QCOMPARE(w->imageList().size(), 9);
        for (const QIcon& icon : w->imageList()) QVERIFY(!icon.pixmap(16, 16).isNull());
    }

    // Each button asks exactly what its menu item asks (the list's key belongs to the list window's tests).
    void buttonsRunTheirMenuItems_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("regist") << "regist"
                                << "mnuRegister" << int(Kind::Message) << "上書きしますか？";
        QTest::newRow("savediary") << "savediary"
                                   << "mnuFileDiarySave" << int(Kind::SaveFile) << "ﾌｧｲﾙの保存";
        QTest::newRow("cycle") << "cycle"
                               << "mnuSetCycle" << int(Kind::Input) << "月経周期を設定して下さい。";
        QTest::newRow("avetemp") << "avetemp"
                                 << "mnuSetTemp" << int(Kind::Input) << "平均体温を設定して下さい。";
        QTest::newRow("mente") << "mente"
                               << "mnuSetMente" << int(Kind::Message) << kPurgeMay20;
        QTest::newRow("close") << "close"
                               << "mnuExit" << int(Kind::Message) << kSaveQuestion;
    }
    void buttonsRunTheirMenuItems() {
        QFETCH(QString, key);
        QFETCH(QString, menuItem);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QList<ScriptedDialogs::Call> asked[2];
        for (int viaMenu = 0; viaMenu < 2; ++viaMenu) {
            MainBed bed(QDate(2001, 5, 20));
            saveDay(bed, QDate(2001, 5, 20), "36.4");
            frmMain* w = bed.startMain();
            ui(w).txtCondition->setText("edited");  // so that closing asks
            QAction* action = viaMenu ? w->findChild<QAction*>(menuItem) : toolbarButton(w, key);
            QVERIFY(action);
            action->trigger();  // every question is answered No or Cancel
            QCOMPARE(bed.dialogs.calls.value(0).kind, Kind(kind));
            QCOMPARE(bed.dialogs.calls.value(0).text, text);
            asked[viaMenu] = bed.dialogs.calls;
            QCOMPARE(bed.rowCount(), 1);
        }
        QCOMPARE(asked[0].size(), asked[1].size());
        for (int i = 0; i < asked[0].size(); ++i) QCOMPARE(asked[0][i].text, asked[1][i].text);
    }

    void unknownKeysRunNothing() {
        MainBed bed;
        frmMain* w = bed.startMain();
        for (const char* key : {"", "Regist", "CLOSE", "mente ", "print", "savediary2"})
            w->Toolbar1_ButtonClick(key);
        QVERIFY(bed.dialogs.calls.isEmpty());
        QCOMPARE(bed.processEnds, 0);
        QCOMPARE(bed.rowCount(), 0);
    }

    // ---- Settings dialogs -------------------------------------------------------------------------

    void firstRunOffersTheStoredValues() {
        MainBed bed;
        frmMain* w = bed.startMain();
        w->mnuSetCycle_Click();
        w->mnuSetTemp_Click();
        QCOMPARE(bed.dialogs.calls.size(), 2);
        QCOMPARE(bed.dialogs.calls[0].initial, QString());
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("設定モード"));
        QCOMPARE(bed.dialogs.calls[1].initial, QStringLiteral("36.5"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　28日"));
        QCOMPARE(bed.settings->get("G_CYCLE", "DATA", "absent"),
                 QStringLiteral("absent"));  // Cancel stores nothing

        bed.settings->save("G_CYCLE", "DATA", "29.6");
        bed.dialogs.clear();
        w->mnuSetCycle_Click();
        QCOMPARE(bed.dialogs.calls[0].initial, QStringLiteral("29.6"));
    }

    void refusedEntriesChangeNothing_data() {
        QTest::addColumn<bool>("cycle");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<Icon>("icon");
        const QString error = QStringLiteral("エラーです！");
        QTest::newRow("letters") << true << "abc"
                                 << "数値を入力して下さい。" << error << Icon::Exclamation;
        QTest::newRow("temp 33.4") << false << "33.4"
                                   << "数値が不正です。" << error << Icon::Exclamation;
        QTest::newRow("cycle 61") << true << "61"
                                  << "数値が不正です。" << error << Icon::Exclamation;
        QTest::newRow("overflow") << true << "99999"
                                  << "オーバーフローしました。"
                                  << "PG-Error" << Icon::Critical;
    }
    void refusedEntriesChangeNothing() {
        QFETCH(bool, cycle);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(Icon, icon);
        MainBed bed;
        frmMain* w = bed.startMain();
        const QStringList panels = panelTexts(w);
        bed.dialogs.inputs.enqueue(entry);
        cycle ? w->mnuSetCycle_Click() : w->mnuSetTemp_Click();
        QCOMPARE(bed.dialogs.calls.size(), 2);  // the box does not reopen
        QCOMPARE(bed.dialogs.calls[1].text, message);
        QCOMPARE(bed.dialogs.calls[1].title, title);
        QCOMPARE(bed.dialogs.calls[1].icon, icon);
        QCOMPARE(bed.dialogs.calls[1].buttons, Buttons::Ok);
        QCOMPARE(panelTexts(w), panels);
        QCOMPARE(bed.module.CycleDays, QStringLiteral("28"));
        QCOMPARE(bed.module.AverageTemp, 36.5f);
        QCOMPARE(bed.settings->get(cycle ? "G_CYCLE" : "AVE_TEMP", "DATA", "absent"),
                 QStringLiteral("absent"));
    }

    void acceptedCycleChangesPanelsTwoFourAndFive() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 1), "36.3", true);
        frmMain* w = bed.startMain();
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2001年05月29日 火曜日です"));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("通常日"));
        const QString temp = w->panelText(Panel::Temperature);
        bed.dialogs.inputs.enqueue(QStringLiteral("３８．５"));  // full-width, rounds to 38
        w->Toolbar1_ButtonClick("cycle");
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.settings->get("G_CYCLE", "DATA"), QStringLiteral("38.5"));
        QCOMPARE(bed.module.CycleDays, QStringLiteral("38.5"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　38.5日"));
        QCOMPARE(w->panelText(Panel::NextPeriod),
                 QStringLiteral("次回月経予定日は2001年06月08日 金曜日です"));
        QCOMPARE(w->panelText(Panel::State), QStringLiteral("妊娠可能日"));  // day 19 of a 38-day cycle
        QCOMPARE(w->panelText(Panel::Temperature), temp);
    }

    void acceptedTemperatureTouchesOnlyPanelThree() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 1), "36.3", true);
        frmMain* w = bed.startMain();
        ui(w).txtTemp->setText("36.9");
        QStringList before = panelTexts(w);
        before.removeAt(int(Panel::Temperature));
        bed.dialogs.inputs.enqueue(QStringLiteral("36.50"));
        w->Toolbar1_ButtonClick("avetemp");
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.settings->get("AVE_TEMP", "DATA"), QStringLiteral("36.50"));
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　36.5℃"));
        QStringList after = panelTexts(w);
        after.removeAt(int(Panel::Temperature));
        QCOMPARE(after, before);
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.9"));

        bed.dialogs.inputs.enqueue(QStringLiteral("37.1"));
        w->mnuSetTemp_Click();
        QCOMPARE(bed.module.AverageTemp, 37.1f);
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　37.1℃"));
        clickDay(w, QDate(2001, 5, 2));  // an empty day shows the new average
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("37.1"));
    }

    // A settings file saved with a byte-order mark (as Notepad saves it) takes changes like any other.
    void aSettingsFileWithAByteOrderMarkTakesChanges() {
        MainBed bed(QDate(2001, 5, 20));
        QVERIFY(QDir().mkpath(QFileInfo(bed.settings->filePath()).absolutePath()));
        QFile file(bed.settings->filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF[AVE_TEMP]\r\nDATA=36.8\r\n[G_CYCLE]\r\nDATA=30\r\n");
        file.close();
        frmMain* w = bed.startMain();
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　36.8℃"));
        bed.dialogs.inputs.enqueue(QStringLiteral("36.6"));
        w->mnuSetTemp_Click();
        bed.dialogs.inputs.enqueue(QStringLiteral("31"));
        w->mnuSetCycle_Click();
        QCOMPARE(bed.dialogs.calls.size(), 2);  // the two input boxes and no failure
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　36.6℃"));
        QCOMPARE(w->panelText(Panel::Cycle), QStringLiteral("月経周期：　31日"));
        const SettingsStore again(bed.settings->filePath());
        QCOMPARE(again.get("AVE_TEMP", "DATA") + " " + again.get("G_CYCLE", "DATA"),
                 QStringLiteral("36.6 31"));
    }

    // Numbers the program accepted read back wherever it shows them: the entry saves again, the panel and the
    // graph are plain decimals, the purge rewrites the average, and the list never shows a cut number.
    void acceptedNumbersReadBackEverywhere_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a forgotten point") << "36500000";
        QTest::newRow("beyond a single's digits") << "123456789";
        QTest::newRow("below 1e-4") << "0.00001";
    }
    void acceptedNumbersReadBackEverywhere() {
        QFETCH(QString, typed);
        MainBed bed(QDate(2001, 5, 20));
        bed.settings->save("AVE_TEMP", "DATA", typed);
        saveDay(bed, QDate(2001, 5, 20), typed);
        frmMain* w = bed.startMain();
        const QString shown = ui(w).txtTemp->text();
        const auto readBack = jatext::readDecimal(shown);
        QVERIFY2(readBack, qPrintable(shown));
        QCOMPARE(float(*readBack), jatext::readSingle(typed));
        QCOMPARE(w->panelText(Panel::Temperature), QStringLiteral("平均体温：　%1℃").arg(shown));
        bed.dialogs.answers.enqueue(Answer::Yes);
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        bed.dialogs.answers.enqueue(Answer::Yes);
        w->mnuSetMente_Click();
        QCOMPARE(bed.dialogs.texts().constLast(), QStringLiteral("削除されました"));

        frmView view(bed.module, bed.services);
        const QString cell = view.TextMatrix(1, listview::Temp);
        const int inner = view.DATA_FLX->columnWidth(listview::Temp) - 4;
        const QString drawn =
            listview::FittedNumberDelegate::shownText(cell, view.DATA_FLX->fontMetrics(), inner);
        QVERIFY2(drawn == cell || drawn == QString(drawn.size(), '#'), qPrintable(drawn));
        const auto graph =
            graph::fromGrid([&](int r, int c) { return view.TextMatrix(r, c); }, bed.module.AverageTemp);
        QVERIFY(jatext::readDecimal(graph.points.back().valueText));
    }

    // A start-up stopped by a setting it cannot read still selects today: every command then works on today.
    void commandsWorkAfterAStartUpThatStoppedEarly_data() {
        QTest::addColumn<QString>("temp");
        QTest::newRow("decimal comma") << "36,5";
        QTest::newRow("a note after the value") << "36.8 # note";
    }
    void commandsWorkAfterAStartUpThatStoppedEarly() {
        QFETCH(QString, temp);
        MainBed bed(QDate(2001, 5, 20));
        bed.settings->save("AVE_TEMP", "DATA", temp);
        frmMain* w = bed.startMain();
        QCOMPARE(bed.dialogs.texts(), QStringList{"型が一致しません。"});
        QCOMPARE(bed.module.SelectedDate, QDate(2001, 5, 20));
        frmView view(bed.module, bed.services);
        QCOMPARE(listHeader(view), QStringLiteral("2000/11/21 ～ 2001/05/20 のﾃﾞｰﾀ一覧"));
        QCOMPARE(view.TextMatrix(1, listview::Weekday), QStringLiteral("日"));
        const auto graph = graph::fromGrid([&](int r, int c) { return view.TextMatrix(r, c); }, 0);
        QCOMPARE(graph.lastDay, QStringLiteral("2001/5/20"));
        bed.dialogs.saveFiles.enqueue(std::nullopt);
        w->mnuFileDiarySave_Click();
        QCOMPARE(bed.dialogs.calls.constLast().initial, bed.dir.filePath("20010520s_diary"));
        ui(w).txtTemp->setText("36.6");
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(*bed.openData()->load(QDate(2001, 5, 20))->temp, 36.6);
        QCOMPARE(bed.dialogs.calls.size(), 2);  // the start-up's box and the file dialog
    }

    // ---- Purge ------------------------------------------------------------------------------------

    void purgeNoChangesNothing() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 20), "36.4", false, "今日");
        frmMain* w = bed.startMain();
        ui(w).txtMemo->setText("薬");
        bed.dialogs.answers.enqueue(Answer::No);
        w->mnuSetMente_Click();
        QCOMPARE(bed.dialogs.calls.size(), 1);
        const auto& ask = bed.dialogs.calls[0];
        QCOMPARE(ask.text, kPurgeMay20);
        QCOMPARE(ask.title, QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ"));
        QCOMPARE(ask.icon, Icon::Question);
        QCOMPARE(ask.buttons, Buttons::YesNo);
        QCOMPARE(dates(bed), QStringList{"2001-05-20 今日"});
        QCOMPARE(ui(w).txtMemo->text(), QStringLiteral("薬"));
        QVERIFY(bed.module.DataChanged);
    }

    void purgeDeletesThroughTheDayAndStartsItAfresh() {
        MainBed bed(QDate(2001, 1, 5));
        bed.settings->save("AVE_TEMP", "DATA", "36.7");
        saveDay(bed, QDate(2000, 12, 31), "36.1", true, "大晦日");
        saveDay(bed, QDate(2001, 1, 4), "36.2", true, "四日");
        saveDay(bed, QDate(2001, 1, 5), "36.3", true, "五日");
        saveDay(bed, QDate(2001, 1, 6), "36.4", true, "六日");
        saveDay(bed, QDate(2001, 1, 15), "36.8", false, "十五日");
        frmMain* w = bed.startMain();
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("五日"));
        const QString forecast = w->panelText(Panel::NextPeriod);
        bed.dialogs.answers.enqueue(Answer::Yes);
        w->Toolbar1_ButtonClick("mente");
        QCOMPARE(
            bed.dialogs.texts(),
            (QStringList{
                "2001年01月05日以前のﾃﾞｰﾀは完全に消去されます。\r続けますか？\r(この操作は元に戻せません)",
                "削除されました"}));
        QCOMPARE(bed.dialogs.calls[1].title, QStringLiteral("Selvane"));
        QCOMPARE(bed.dialogs.calls[1].icon, Icon::None);
        QCOMPARE(dates(bed), (QStringList{"2001-01-05 ", "2001-01-06 六日", "2001-01-15 十五日"}));
        const auto fresh = bed.openData()->load(QDate(2001, 1, 5));
        QCOMPARE(*fresh->temp, 36.7);
        QVERIFY(!fresh->love && !fresh->guest);
        QVERIFY(fresh->memo.isEmpty() && fresh->condition.isEmpty() && fresh->schedule.isEmpty());
        QCOMPARE(ui(w).txtTemp->text(), QStringLiteral("36.7"));
        QVERIFY(ui(w).txtCondition->text().isEmpty() && ui(w).txtMemo->text().isEmpty() &&
                ui(w).txtSchedule->text().isEmpty());
        QVERIFY(!ui(w).chkMens->isChecked() && !ui(w).chkSex->isChecked());
        QVERIFY(ui(w).rtbDiary->toPlainText().isEmpty());
        QVERIFY(!bed.module.DataChanged);
        QCOMPARE(w->panelText(Panel::NextPeriod), forecast);  // not recomputed here
        QCOMPARE(ui(w).MonthView1->selectedDate(), QDate(2001, 1, 5));
        clickDay(w, QDate(2001, 1, 6));  // nothing pending: no question
        QCOMPARE(bed.dialogs.calls.size(), 2);
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("六日"));
    }

    void purgeOfAnEmptyFileWritesTheFreshRecord() {
        MainBed bed(QDate(2001, 5, 20));
        frmMain* w = bed.startMain();
        bed.dialogs.answers.enqueue(Answer::Yes);
        w->mnuSetMente_Click();
        QCOMPARE(bed.dialogs.texts(), (QStringList{kPurgeMay20, "削除されました"}));
        QCOMPARE(dates(bed), QStringList{"2001-05-20 "});
        QCOMPARE(*bed.openData()->load(QDate(2001, 5, 20))->temp, 36.5);
    }

    void purgeFailureLeavesEveryRow() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 5, 19), "36.4", false, "昨日");
        saveDay(bed, QDate(2001, 5, 20), "36.5", true, "今日");
        QVERIFY(
            bed.sql("CREATE TRIGGER refuse BEFORE INSERT ON DATA_FIL BEGIN SELECT RAISE(ABORT, 'disk "
                    "refused'); END"));
        frmMain* w = bed.startMain();
        ui(w).txtSchedule->setText("予定");
        bed.dialogs.answers.enqueue(Answer::Yes);
        w->mnuSetMente_Click();
        QCOMPARE(bed.dialogs.calls.size(), 2);
        QVERIFY(bed.dialogs.calls[1].text.contains(QStringLiteral("disk refused")));
        QCOMPARE(bed.dialogs.calls[1].title, QStringLiteral("Selvane"));
        QCOMPARE(bed.dialogs.calls[1].icon, Icon::None);
        QVERIFY(!bed.dialogs.texts().contains(QStringLiteral("削除されました")));
        QCOMPARE(dates(bed), (QStringList{"2001-05-19 昨日", "2001-05-20 今日"}));
        QCOMPARE(ui(w).txtSchedule->text(), QStringLiteral("予定"));
        QCOMPARE(ui(w).rtbDiary->toPlainText(), QStringLiteral("今日"));
        QVERIFY(bed.module.DataChanged);
    }

    // ---- Diary export -----------------------------------------------------------------------------

    void exportWritesTheShownDaysUnsavedPlainText() {
        MainBed bed(QDate(2001, 5, 20));
        saveDay(bed, QDate(2001, 3, 15), "36.4", false, "保存済み");
        frmMain* w = bed.startMain();
        clickDay(w, QDate(2001, 3, 15));
        ui(w).rtbDiary->setHtml("<p><b>太字</b>と<i>斜体</i></p><p>二段落目</p>");
        const QString proposed = bed.dir.filePath("20010315s_diary");
        bed.dialogs.saveFiles.enqueue(proposed);
        w->Toolbar1_ButtonClick("savediary");
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.dialogs.calls[0].initial, proposed);
        QCOMPARE(fileBytes(proposed), QByteArray("太字と斜体\n二段落目"));
        QVERIFY(bed.module.DataChanged);  // the export leaves the entry's state alone
        QCOMPARE(bed.openData()->load(QDate(2001, 3, 15))->diary, QStringLiteral("保存済み"));
    }

    // ---- Help and version -------------------------------------------------------------------------

    void helpOpensBesideTheWindowAtItsContents() {
        MainBed bed;
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_HELP_DOCUMENT), bed.dir.filePath("selvane3.hlp")));
        frmMain* w = bed.startMain();
        w->show();
        w->mnuSelvane_Click();
        HelpViewer* viewer = w->helpViewer();
        QVERIFY(viewer && viewer->isVisible());
        QVERIFY(viewer->isWindow());
        QCOMPARE(viewer->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(w->isEnabled());
        QCOMPARE(viewer->browser()->source(), QUrl::fromLocalFile(bed.dir.filePath("selvane3.hlp")));
        QVERIFY(viewer->browser()->toPlainText().startsWith(QStringLiteral("Selvane Ver. 3.01 ヘルプ")));
        QVERIFY(bed.dialogs.calls.isEmpty());

        viewer->browser()->setSource(QUrl(QStringLiteral("#maintenance")));
        QVERIFY(viewer->browser()->verticalScrollBar()->value() > 0);
        viewer->close();
        ui(w).Toolbar1->setFocus();
        w->mnuSelvane_Click();  // again: the same window, back at the contents
        QCOMPARE(w->helpViewer(), viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->browser()->verticalScrollBar()->value(), 0);
    }

    void missingHelpIsReportedByTheViewer() {
        MainBed bed;
        frmMain* w = bed.startMain();
        w->mnuSelvane_Click();
        QVERIFY(bed.dialogs.calls.isEmpty());
        const QString page = w->helpViewer()->browser()->toPlainText();
        QVERIFY(page.contains(QStringLiteral("ヘルプファイルを開けません")));
        QVERIFY(page.contains(bed.dir.filePath("selvane3.hlp")));
    }

    void versionWindowIsModalAndClosesWithOk() {
        MainBed bed;
        frmMain* w = bed.startMain();
        w->show();
        QString title, name, version, notice;
        bool modal = false, closedByKey = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = w->findChild<frmAbout*>();
            if (!about) return;
            modal = about->isModal() && QApplication::activeModalWidget() == about;
            title = about->windowTitle();
            name = about->Label1->text();
            version = about->Label2->text();
            notice = about->Label3->text();
            about->activateWindow();
            if (!QTest::qWaitForWindowActive(about)) return;
            QTest::keyClick(about, Qt::Key_O, Qt::AltModifier);
            // The access key clicks the button as a mouse would, after a short press.
            QPointer<frmAbout> open(about);
            for (int i = 0; i < 100 && open && open->isVisible(); ++i) QTest::qWait(10);
            closedByKey = !open || !open->isVisible();
            if (!closedByKey) about->cmdOK->click();
        });
        w->mnuHelpVirsion_Click();  // returns once the window is closed
        QVERIFY(modal);
        QVERIFY(closedByKey);
        QCOMPARE(title, QStringLiteral("Selvaneのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(name, QStringLiteral("Selvane"));
        QCOMPARE(version, QStringLiteral("Ver 3.01"));
        QVERIFY(!notice.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The main window's View command opens the list modally, afresh each time.
    void opensFromTheMainWindowEachTimeAfresh() {
        MainBed bed(QDate(2001, 12, 7));
        frmMain* main = bed.startMain();
        QStringList seen;
        auto openAndClose = [&] {
            QTimer::singleShot(0, [&] {
                auto* view = qobject_cast<frmView*>(QApplication::activeModalWidget());
                QVERIFY(view);
                QVERIFY(view->isModal());
                seen << listHeader(*view);
                QTest::mouseClick(view->cmdClose, Qt::LeftButton);
            });
            main->mnuViewAll_Click();
        };
        openAndClose();
        ui(main).MonthView1->setSelectedDate(QDate(2001, 3, 31));
        emit ui(main).MonthView1->clicked(QDate(2001, 3, 31));
        openAndClose();
        QCOMPARE(seen,
                 QStringList({"2001/06/10 ～ 2001/12/07 のﾃﾞｰﾀ一覧", "2000/10/02 ～ 2001/03/31 のﾃﾞｰﾀ一覧"}));
        QVERIFY(main->findChildren<frmView*>().isEmpty());
    }
};

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
