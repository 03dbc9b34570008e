#pragma once

#include "platform/core/KeptText.h"
#include "session/FeatureHost.h"
#include "session/Module1.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class HelpProcess;
class HelpViewer;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTextEdit;
class QToolBar;

// The main window: the calendar, the day's entry, the status bar, the menus and the toolbar. The features
// beyond it join through the FeatureHost seam, one line each (frmMainFeatures.cpp).
class frmMain : public QMainWindow, public session::FeatureHost {
    Q_OBJECT

  public:
    using SaveResult = session::SaveResult;
    using Panel = session::Panel;

    frmMain(Module1& module, const Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up. False when the data file is missing: the message has been shown and the run must end.
    bool Form_Load();

    QString panelText(Panel panel) const;
    void setPanelText(Panel panel, const QString& text);

    // The toolbar's images, counted from 0 (the buttons count them from 1).
    const QList<QIcon>& imageList() const { return ImageList1; }

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

  public:
    SaveResult SaveDayRecord();
    // What a save would write now: the entry's day and every field.
    DayEntry entryFromControls() const;
    HelpViewer* helpViewer() const { return helpViewer_; }
    const HelpProcess& helpProcess() const { return *helpProcess_; }
    void UpdateCycleForecast();
    // The cycle length the forecast and the list's marks count with now.
    forecast::CycleLength cycleInUse() const override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildLayout();
    void buildFrame(QWidget* client);
    void buildStatusBar(QWidget* client);
    void buildMenus();
    void buildToolbar();
    void connectHandlers();

    // The features beyond the window's own, each a child of the window, in the order of their menu items.
    void addFeatures();
    template <typename F>
    F* add() {
        auto* feature = new F(static_cast<FeatureHost&>(*this));
        features_.push_back(feature);
        return feature;
    }
    // A hook that may stop what the window is doing: false as soon as one feature says so.
    bool allFeatures(bool (session::Feature::*hook)());
    void tellFeatures(session::Change change);

    // The seam (frmMainFeatures.cpp).
    Module1& module() override { return m_; }
    const Services& services() const override { return services_; }
    QWidget* mainWindow() override { return this; }
    QAction* addMenuItem(session::Menu menu, const char* name, const QString& caption) override;
    QAction* addMenuSeparator(session::Menu menu, const char* name) override;
    bool confirmSaveChanges() override { return ConfirmSaveChanges(); }
    SaveResult saveEdits() override { return SaveDayRecord(); }
    SaveResult saveEntry(const DayEntry& entry) override;
    void keepEdits() override;
    void diaryReplaced() override;
    void updateForecast() override { UpdateCycleForecast(); }
    void standInCycle(const std::optional<session::StandInCycle>& cycle) override;
    void cycleNote(const QString& why) override;
    void daysMerged(const std::vector<QDate>& days) override;
    void hideDiary() override;
    void showDiaryAgain() override;

    // Closing: true when the run may end.
    bool Form_Unload();
    bool ConfirmSaveChanges();
    // A save of the given entry to its day, with the overwrite question; DataChanged is left alone. shown:
    // the entry is the window's own, to be checked against the day as it was shown.
    SaveResult writeEntry(const DayEntry& entry, bool shown);
    void ShowSelectedDate();
    void LoadDayRecord();
    void showEntry(const DayRecord& record);
    void showDefaults(const QDate& day);
    // After a save that merged another program's change: the day as the file now holds it.
    void showChangedDay();
    // The cycle panel: her setting, or the cycle standing in for it with its mark, which takes its room from
    // the state panel so that the forecast's panel keeps its width.
    void showCyclePanel();

    // Controls, named as the window's design names them; tests and tools find them by these names.
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
    QMenu* mnuHelp = nullptr;
    QAction* mnuSelvane = nullptr;
    QAction* mnuPartition2 = nullptr;
    QAction* mnuHelpVirsion = nullptr;

    Module1& m_;
    Services services_;
    QList<QLabel*> panels_;
    QList<int> designedWidths_;  // of the panels, as laid out
    bool ending_ = false;
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
    std::optional<session::StandInCycle> standIn_;  // a cycle length in place of her setting
    QString cycleNote_;                             // why her setting is in use, for the cycle panel
    std::vector<session::Feature*> features_;
};
