#pragma once

#include "platform/core/KeptText.h"
#include "session/Module1.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <memory>

class QAction;
class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class HelpProcess;
class HelpViewer;
class LockController;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTextEdit;
class QToolBar;

// The main window: the calendar, the day's entry, the status bar, the menus and the toolbar.
class frmMain : public QMainWindow {
    Q_OBJECT

  public:
    enum class SaveResult { Saved, Declined, Failed };

    frmMain(Module1& module, const Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up. False when the data file is missing: the message has been shown and the run must end.
    bool Form_Load();

    // Status bar panels, counted from 1.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Controls, named as the window's design names them.
    QToolBar* Toolbar1 = nullptr;
    QList<QIcon> ImageList1;
    QCalendarWidget* MonthView1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtTemp = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtCondition = nullptr;
    QCheckBox* chkMens = nullptr;
    QLabel* Picture1 = nullptr;
    QCheckBox* chkSex = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtMemo = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtSchedule = nullptr;
    QLabel* Label4 = nullptr;
    QTextEdit* rtbDiary = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuRegister = nullptr;
    QAction* mnuPartition = nullptr;
    QAction* mnuFileDiarySave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewAll = nullptr;
    QMenu* mnuSet = nullptr;
    QAction* mnuSetTemp = nullptr;
    QAction* mnuSetCycle = nullptr;
    QAction* mnuSetMente = nullptr;
    QAction* mnuSetPartitionLock = nullptr;
    QAction* mnuSetPassphrase = nullptr;
    QAction* mnuSetLockTime = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuSelvane = nullptr;
    QAction* mnuPartition2 = nullptr;
    QAction* mnuHelpVirsion = nullptr;
    // The whole diary in and out (frmMainTransfer.cpp).
    QAction* mnuPartition3 = nullptr;
    QAction* mnuFileExportAll = nullptr;
    QAction* mnuFileImport = nullptr;
    QAction* mnuSetRestore = nullptr;
    // The chart for her doctor (frmMainReport.cpp).
    QAction* mnuFileChart = nullptr;
    // Her own history (frmMainHistory.cpp).
    QAction* mnuViewCycles = nullptr;
    QAction* mnuSetPartitionHistory = nullptr;
    QAction* mnuSetHistoryCycle = nullptr;

  public slots:
    // Choosing and loading a day.
    void MonthView1_DateClick(const QDate& clicked);
    // Edit tracking.
    void txtTemp_Change();
    void txtCondition_Change();
    void txtMemo_Change();
    void txtSchedule_Change();
    void rtbDiary_Change();
    void chkMens_Click();
    void chkSex_Click();
    // Commands.
    void mnuRegister_Click();
    void mnuFileDiarySave_Click();
    void mnuExit_Click();
    void mnuViewAll_Click();
    void mnuSetTemp_Click();
    void mnuSetCycle_Click();
    void mnuSetMente_Click();
    void mnuHelp_Click();
    void mnuSelvane_Click();
    void mnuHelpVirsion_Click();
    void Toolbar1_ButtonClick(const QString& key);
    void mnuFileExportAll_Click();
    void mnuFileImport_Click();
    void mnuSetRestore_Click();
    void mnuFileChart_Click();
    // The locked diary.
    void mnuSetPassphrase_Click();
    void mnuSetLockTime_Click();
    // Her own history.
    void mnuViewCycles_Click();
    void mnuSetHistoryCycle_Click(bool on);

  public:
    SaveResult SaveDayRecord();
    // What a save would write now: the entry's day and every field.
    DayEntry entryFromControls() const;
    HelpViewer* helpViewer() const { return helpViewer_; }
    const HelpProcess& helpProcess() const { return *helpProcess_; }
    void UpdateCycleForecast();
    LockController* lockController() const { return lock_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildLayout();
    void buildFrame(QWidget* client);
    void buildStatusBar(QWidget* client);
    void buildMenus();
    void buildTransferMenus();
    void buildReportMenus();
    void backupAfterSave();
    void showChangedDiary();
    void buildToolbar();
    void connectHandlers();
    void buildLock();
    void buildHistory();
    // The history forecast: the option as stored, the cycle in use worked out again (true when it changed),
    // panel 2 showing it, and the forecast following a change after her records changed.
    void loadHistoryOption();
    bool refreshCycleInUse();
    void showCycleInUse();
    void followChangedHistory();

    // Closing: true when the run may end.
    bool Form_Unload();
    bool ConfirmSaveChanges();
    // A save of the given entry to its day, with the overwrite question; DataChanged is left alone. shown:
    // the entry is the window's own, to be checked against the day as it was shown.
    SaveResult saveEntry(const DayEntry& entry, bool shown = false);
    // Before a save of a locked diary: the file another program rewrote since is offered for loading, her
    // edits staying on screen. False when the save cannot go on.
    bool followChangedLockedFile();
    void offerRecoveredEdits();
    void ShowSelectedDate();
    void LoadDayRecord();
    void showEntry(const DayRecord& record);
    void showDefaults(const QDate& day);
    // After a save that merged another program's change: the day as the file now holds it.
    void showChangedDay();

    Module1& m_;
    Services services_;
    QList<QLabel*> panels_;
    bool ending_ = false;
    bool backupFailureTold_ = false;    // a failed daily backup is told once per run
    HelpViewer* helpViewer_ = nullptr;  // made at the first help command, then kept for the run
    std::unique_ptr<HelpProcess> helpProcess_;
    KeptText diaryKept_;  // the diary as read, so that a save keeps what she did not edit
    // The day as it was loaded: as the file held it, as the controls showed it (the defaults for a day
    // without a row) and the temperature's text, so that a save writes only what she edited and notices a
    // day that another program changed meanwhile.
    struct Shown {
        DayState state;
        DayRecord record;
        QString tempText;
    } shown_;
    LockController* lock_ = nullptr;  // the passphrase and the lock of a locked diary
};
