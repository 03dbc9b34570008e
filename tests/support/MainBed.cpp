#include "support/MainBed.h"

#include <QCalendarWidget>

MainBed::~MainBed() { main.reset(); }

frmMain* MainBed::startMain() {
    main = std::make_unique<frmMain>(module, services);
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
