#include "support/MainBed.h"

#include <QAction>
#include <QCalendarWidget>

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

void clickDay(frmMain* window, const QDate& day) {
    window->MonthView1->setSelectedDate(day);
    emit window->MonthView1->clicked(day);
}

QAction* menuItem(const frmMain* window, const char* name) {
    auto* item = window->findChild<QAction*>(QLatin1String(name));
    if (!item) qFatal("the main window has no menu item %s", name);
    return item;
}

QStringList panelTexts(const frmMain* window) {
    QStringList texts;
    for (auto panel : {frmMain::Panel::Date, frmMain::Panel::Cycle, frmMain::Panel::Temperature,
                       frmMain::Panel::NextPeriod, frmMain::Panel::State})
        texts << window->panelText(panel);
    return texts;
}
