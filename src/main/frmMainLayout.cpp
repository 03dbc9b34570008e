// The main window's controls at their designed positions (twips), with captions, tooltips and tab order.
#include "main/frmMain.h"

#include "platform/core/Twips.h"
#include "platform/core/Version.h"
#include "platform/ui/Pictures.h"
#include "platform/ui/Placement.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <limits>

namespace {

const int kClientWidth = 10665;
const int kClientHeight = 7050;

QLineEdit* textBox(QWidget* parent, const char* name, QLabel* buddy, const QString& tip, int left, int top,
                   int width, int height) {
    auto* box = placeAt<QLineEdit>(parent, name, left, top, width, height);
    box->setToolTip(tip);
    box->setMaxLength(std::numeric_limits<int>::max());  // a stored text longer than the default is never cut
    if (buddy) {
        buddy->setBuddy(box);
        box->setAccessibleName(buddy->text());
    }
    return box;
}

// The calendar clips to a few of its columns at its designed size unless its inner table may shrink.
void fitCalendar(QCalendarWidget* calendar) {
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    QFont font = calendar->font();
    font.setPointSize(8);
    calendar->setFont(font);
    if (auto* view = calendar->findChild<QTableView*>()) {
        view->horizontalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setMinimumSectionSize(1);
    }
}

}  // namespace

void frmMain::buildLayout() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral(" Selvane Ver. ") + QString::fromLatin1(kVersion));
    setWindowIcon(pictures::windowIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    setCentralWidget(client);

    Toolbar1 = new QToolBar(client);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometry(0, 0, client->width(), twips::toPixels(420));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));

    MonthView1 = placeAt<QCalendarWidget>(client, "MonthView1", 240, 720, 2355, 2160);
    MonthView1->setToolTip(QStringLiteral("日付をｸﾘｯｸして下さい"));
    MonthView1->setAccessibleName(QStringLiteral("日付"));
    fitCalendar(MonthView1);

    buildFrame(client);

    Label4 = placeLabel(client, "Label4", QStringLiteral("今日の日記"), 240, 3240, 975, 255);
    rtbDiary = placeAt<QTextEdit>(client, "rtbDiary", 120, 3480, 10455, 3135);
    rtbDiary->setToolTip(QStringLiteral("日記をつけましょう"));
    rtbDiary->setAccessibleName(Label4->text());
    rtbDiary->setTabChangesFocus(true);
    Label4->setBuddy(rtbDiary);

    buildStatusBar(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// The day's entry: the frame "今日のﾃﾞｰﾀ" and its controls, in their tab order.
void frmMain::buildFrame(QWidget* client) {
    Frame1 = placeAt<QGroupBox>(client, "Frame1", 3000, 600, 7335, 2295);
    Frame1->setTitle(QStringLiteral("今日のﾃﾞｰﾀ"));
    Label1 = placeLabel(Frame1, "Label1", QStringLiteral("基礎体温"), 360, 360, 855, 255);
    txtTemp =
        textBox(Frame1, "txtTemp", Label1, QStringLiteral("基礎体温を入力して下さい"), 1200, 360, 1095, 270);
    Label6 = placeLabel(Frame1, "Label6", QStringLiteral("℃"), 2400, 405, 495, 255);
    Label2 = placeLabel(Frame1, "Label2", QStringLiteral("体調"), 360, 720, 855, 255);
    txtCondition =
        textBox(Frame1, "txtCondition", Label2, QStringLiteral("体調を入力して下さい"), 1200, 720, 5775, 270);
    chkMens = placeAt<QCheckBox>(Frame1, "chkMens", 4920, 1080, 735, 255);
    chkMens->setText(QStringLiteral("月経"));
    chkMens->setToolTip(QStringLiteral("月経があればﾁｪｯｸを入れて下さい"));
    Picture1 = placeAt<QLabel>(Frame1, "Picture1", 5760, 1080, 255, 255);
    Picture1->setPixmap(pictures::pinkHeart());
    Picture1->setAlignment(Qt::AlignCenter);
    chkSex = placeAt<QCheckBox>(Frame1, "chkSex", 6240, 1080, 735, 255);
    chkSex->setText(QStringLiteral("SEX"));
    chkSex->setToolTip(QStringLiteral("SEXがあればﾁｪｯｸを入れて下さい"));
    Label3 = placeLabel(Frame1, "Label3", QStringLiteral("服薬など"), 360, 1440, 855, 255);
    txtMemo = textBox(Frame1, "txtMemo", Label3, QStringLiteral("飲んだ薬の名前を書いておきましょう"), 1200,
                      1440, 5775, 270);
    Label5 = placeLabel(Frame1, "Label5", QStringLiteral("ｽｹｼﾞｭｰﾙ"), 360, 1800, 855, 255);
    txtSchedule = textBox(Frame1, "txtSchedule", Label5, QStringLiteral("ｽｹｼﾞｭｰﾙを記入してください"), 1200,
                          1800, 5775, 270);
    setTabOrder(txtTemp, txtCondition);
    setTabOrder(txtCondition, chkMens);
    setTabOrder(chkMens, chkSex);
    setTabOrder(chkSex, txtMemo);
    setTabOrder(txtMemo, txtSchedule);
}

// Five panels; the next-period panel takes what the others leave, since its long texts need the room.
void frmMain::buildStatusBar(QWidget* client) {
    StatusBar1 = new QStatusBar(client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    QFont barFont = StatusBar1->font();
    barFont.setPointSize(8);  // the forecast's longest text fits its panel
    StatusBar1->setFont(barFont);
    const int barHeight = twips::toPixels(390);
    StatusBar1->setGeometry(0, client->height() - barHeight, client->width(), barHeight);
    const struct {
        const char* label;
        int width;
    } panels[] = {
        {"日付", 1400}, {"月経周期", 1500}, {"平常体温", 1700}, {"次回月経日", 4230}, {"状態", 1500}};
    for (const auto& panel : panels) {
        auto* text = new QLabel(QString::fromUtf8(panel.label), StatusBar1);
        text->setObjectName(QStringLiteral("panel%1").arg(panels_.size() + 1));
        const bool stretches = panels_.size() == 3;
        if (stretches)
            text->setMinimumWidth(twips::toPixels(panel.width) * 3 / 4);
        else
            text->setFixedWidth(twips::toPixels(panel.width));
        text->setFrameShape(QFrame::Panel);
        text->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(text, stretches ? 1 : 0);
        panels_.append(text);
        designedWidths_.append(text->minimumWidth());
    }
}
