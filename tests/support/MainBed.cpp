#include "support/MainBed.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QToolBar>

MainBed::~MainBed() { main.reset(); }

frmMain* MainBed::makeMain() {
    main = std::make_unique<frmMain>(module, services);
    made = true;
    return main.get();
}

frmMain* MainBed::startMain() {
    if (!made) makeMain();
    made = false;
    if (!main->Form_Load()) {
        main.reset();
        return nullptr;
    }
    return main.get();
}

namespace {

template <typename T>
T* named(const frmMain* window, const char* name) {
    auto* found = window->findChild<T*>(QLatin1String(name));
    if (!found) qFatal("the main window has no control %s", name);
    return found;
}

}  // namespace

MainControls ui(const frmMain* window) {
    return {named<QCalendarWidget>(window, "MonthView1"),
            named<QLabel>(window, "Label1"),
            named<QLineEdit>(window, "txtTemp"),
            named<QLineEdit>(window, "txtCondition"),
            named<QCheckBox>(window, "chkMens"),
            named<QCheckBox>(window, "chkSex"),
            named<QLineEdit>(window, "txtMemo"),
            named<QLineEdit>(window, "txtSchedule"),
            named<QTextEdit>(window, "rtbDiary"),
            named<QToolBar>(window, "Toolbar1"),
            named<QMenu>(window, "mnuSet")};
}

void clickDay(frmMain* window, const QDate& day) {
    QCalendarWidget* calendar = ui(window).MonthView1;
    calendar->setSelectedDate(day);
    emit calendar->clicked(day);
}

QAction* menuItem(const frmMain* window, const char* name) { return named<QAction>(window, name); }

QStringList panelTexts(const frmMain* window) {
    QStringList texts;
    for (auto panel : {frmMain::Panel::Date, frmMain::Panel::Cycle, frmMain::Panel::Temperature,
                       frmMain::Panel::NextPeriod, frmMain::Panel::State})
        texts << window->panelText(panel);
    return texts;
}
