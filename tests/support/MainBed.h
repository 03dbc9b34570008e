#pragma once

#include "main/frmMain.h"
#include "support/TestBed.h"

#include <memory>

class QCalendarWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTextEdit;
class QToolBar;

// A test world with the main window in it.
struct MainBed : TestBed {
    using TestBed::TestBed;
    ~MainBed();

    // The main window made but not loaded yet, to reach its features first.
    frmMain* makeMain();
    // The main window, loaded (Form_Load run; made first unless makeMain made it); nullptr when start-up
    // refused.
    frmMain* startMain();

    std::unique_ptr<frmMain> main;
    bool made = false;  // by makeMain, not loaded yet
};

// The main window's controls that tests reach, found by their object names as a screen reader finds them.
struct MainControls {
    QCalendarWidget* MonthView1;
    QLabel* Label1;
    QLineEdit* txtTemp;
    QLineEdit* txtCondition;
    QCheckBox* chkMens;
    QCheckBox* chkSex;
    QLineEdit* txtMemo;
    QLineEdit* txtSchedule;
    QTextEdit* rtbDiary;
    QToolBar* Toolbar1;
    QMenu* mnuSet;
};
MainControls ui(const frmMain* window);

// What a click on a day in the main window's calendar does.
void clickDay(frmMain* window, const QDate& day);

// A menu item of the main window, found by its object name.
QAction* menuItem(const frmMain* window, const char* name);
// The texts of the status bar's five panels, from the left.
QStringList panelTexts(const frmMain* window);
