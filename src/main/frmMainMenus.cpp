// The main window's menu tree, its toolbar and the wiring of every control to its handler.
#include "main/frmMain.h"

#include "platform/core/Version.h"
#include "platform/ui/Pictures.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTextEdit>
#include <QToolBar>

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* separator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuRegister = item(mnuFile, "mnuRegister", QStringLiteral("ﾃﾞｰﾀ登録(&R)"));
    mnuPartition = separator(mnuFile, "mnuPartition");
    mnuFileDiarySave = item(mnuFile, "mnuFileDiarySave", QStringLiteral("日記をﾌｧｲﾙに保存(&D)"));
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("閉じる(&X)"));

    mnuView = bar->addMenu(QStringLiteral("ﾋﾞｭｰ(&W)"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewAll = item(mnuView, "mnuViewAll", QStringLiteral("一覧(&P)"));

    mnuSet = bar->addMenu(QStringLiteral("設定(&S)"));
    mnuSet->setObjectName(QStringLiteral("mnuSet"));
    mnuSetTemp = item(mnuSet, "mnuSetTemp", QStringLiteral("平均体温設定(&R)"));
    mnuSetCycle = item(mnuSet, "mnuSetCycle", QStringLiteral("周期設定(&E)"));
    mnuSetMente = item(mnuSet, "mnuSetMente", QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙﾒﾝﾃﾅﾝｽ(&M)"));

    mnuHelp = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuSelvane =
        item(mnuHelp, "mnuSelvane",
             QStringLiteral("Selvane Ver. ") + QString::fromLatin1(kVersion) + QStringLiteral("のﾍﾙﾌﾟ(&L)"));
    mnuPartition2 = separator(mnuHelp, "mnuPartition2");
    mnuHelpVirsion = item(mnuHelp, "mnuHelpVirsion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

void frmMain::buildToolbar() {
    static const char* const images[] = {"blank",       "printer", "floppy",       "linechart", "listsheet",
                                         "pencil_blue", "door",    "pencil_green", "notepad"};
    for (const char* image : images) ImageList1.append(pictures::toolbarImage(QString::fromLatin1(image)));

    const struct {
        const char* key;
        const char* tip;
        int image;  // counted from 1
    } buttons[] = {
        {"regist", "ﾃﾞｰﾀの登録", 3},
        {"savediary", "日記の保存", 1},
        {"view", "一覧表示", 5},
        {"cycle", "月経周期を設定します", 6},
        {"avetemp", "平均体温を設定します", 8},
        {"mente", "ﾃﾞｰﾀﾌｧｲﾙのﾒﾝﾃﾅﾝｽを行います", 9},
        {"close", "Selvaneの終了", 7},
    };
    for (const auto& button : buttons) {
        const QString tip = QString::fromUtf8(button.tip);
        QAction* action = Toolbar1->addAction(ImageList1.at(button.image - 1), QString());
        action->setObjectName(QStringLiteral("Toolbar1_") + QString::fromLatin1(button.key));
        action->setData(QString::fromLatin1(button.key));
        action->setToolTip(tip);
        action->setIconText(tip);  // what a screen reader names the icon-only button
    }
}

void frmMain::connectHandlers() {
    connect(MonthView1, &QCalendarWidget::clicked, this, &frmMain::MonthView1_DateClick);
    connect(txtTemp, &QLineEdit::textChanged, this, &frmMain::txtTemp_Change);
    connect(txtCondition, &QLineEdit::textChanged, this, &frmMain::txtCondition_Change);
    connect(txtMemo, &QLineEdit::textChanged, this, &frmMain::txtMemo_Change);
    connect(txtSchedule, &QLineEdit::textChanged, this, &frmMain::txtSchedule_Change);
    connect(rtbDiary, &QTextEdit::textChanged, this, &frmMain::rtbDiary_Change);
    connect(chkMens, &QCheckBox::toggled, this, &frmMain::chkMens_Click);
    connect(chkSex, &QCheckBox::toggled, this, &frmMain::chkSex_Click);

    connect(mnuRegister, &QAction::triggered, this, &frmMain::mnuRegister_Click);
    connect(mnuFileDiarySave, &QAction::triggered, this, &frmMain::mnuFileDiarySave_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuViewAll, &QAction::triggered, this, &frmMain::mnuViewAll_Click);
    connect(mnuSetTemp, &QAction::triggered, this, &frmMain::mnuSetTemp_Click);
    connect(mnuSetCycle, &QAction::triggered, this, &frmMain::mnuSetCycle_Click);
    connect(mnuSetMente, &QAction::triggered, this, &frmMain::mnuSetMente_Click);
    connect(mnuHelp, &QMenu::aboutToShow, this, &frmMain::mnuHelp_Click);
    connect(mnuSelvane, &QAction::triggered, this, &frmMain::mnuSelvane_Click);
    connect(mnuHelpVirsion, &QAction::triggered, this, &frmMain::mnuHelpVirsion_Click);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void frmMain::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("regist"))
        mnuRegister_Click();
    else if (key == QLatin1String("savediary"))
        mnuFileDiarySave_Click();
    else if (key == QLatin1String("view"))
        mnuViewAll_Click();
    else if (key == QLatin1String("cycle"))
        mnuSetCycle_Click();
    else if (key == QLatin1String("avetemp"))
        mnuSetTemp_Click();
    else if (key == QLatin1String("mente"))
        mnuSetMente_Click();
    else if (key == QLatin1String("close"))
        mnuExit_Click();
}

void frmMain::mnuHelp_Click() {}
