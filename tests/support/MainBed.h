#pragma once

#include "main/frmMain.h"
#include "support/TestBed.h"

#include <memory>

// A test world with the main window in it.
struct MainBed : TestBed {
    using TestBed::TestBed;
    ~MainBed();

    // The main window, loaded (Form_Load run); nullptr when start-up refused.
    frmMain* startMain();

    std::unique_ptr<frmMain> main;
};

// What a click on a day in the main window's calendar does.
void clickDay(frmMain* window, const QDate& day);
