#pragma once

#include "data/DayRecord.h"
#include "forecast/CycleLength.h"
#include "session/Module1.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class QAction;
class QWidget;

// The seam between the main window and the features beyond its own: a feature's controller (in its ui
// library) owns its menu items and talks to the main window only through FeatureHost; the main window tells
// it what happens through the Feature hooks. Adding a feature is one line in src/main.
namespace session {

// The status bar's panels, from the left.
enum class Panel { Date, Cycle, Temperature, NextPeriod, State };
// The menus a feature adds its items to.
enum class Menu { File, View, Settings };
// What became of a save.
enum class SaveResult { Saved, Declined, Failed };
// How her records changed.
enum class Change {
    DaySaved,  // a day's entry was written
    Purged,    // old records were deleted
    Replaced,  // the whole diary was read anew (an import, a restore)
    Merged,    // days taken from her other computers
};

// A cycle length that stands in for her cycle setting (the forecast from her records): the forecast and the
// list's marks count with it; the cycle panel shows it with its mark, and its tip says where it comes from.
struct StandInCycle {
    int days = 0;
    QString mark;
    QString tip;
};

// What the main window offers a feature.
class FeatureHost {
  public:
    virtual Module1& module() = 0;
    virtual const Services& services() const = 0;
    // The parent of the feature's windows and questions.
    virtual QWidget* mainWindow() = 0;

    // An item (or a separator) named for tests and accessibility tools, after the menu's own items and
    // those added before it (in the File menu, before 閉じる(&X)).
    virtual QAction* addMenuItem(Menu menu, const char* name, const QString& caption) = 0;
    virtual QAction* addMenuSeparator(Menu menu, const char* name) = 0;

    // Pending edits offered for saving, as before choosing another day; the day is loaded afresh. False when
    // a save failed and the edits stay on screen.
    virtual bool confirmSaveChanges() = 0;
    // Saves the edits on screen, as the save command does.
    virtual SaveResult saveEdits() = 0;
    // Saves an entry to its day, overwrite question and all (edits kept from an ended session).
    virtual SaveResult saveEntry(const DayEntry& entry) = 0;
    // The edits on screen are kept for later by the features that can (a lock nobody answered).
    virtual void keepEdits() = 0;
    // The whole diary was read anew (an import, a restore): the day is loaded again, every feature is told,
    // and the forecast is worked out again.
    virtual void diaryReplaced() = 0;
    // The forecast panels worked out again.
    virtual void updateForecast() = 0;
    // Days her other computers changed, written into the diary: the day shown follows unless she has edits
    // on screen (her save then asks as for any day changed meanwhile); the forecast and the features follow.
    virtual void daysMerged(const std::vector<QDate>& days) = 0;
    // A cycle length in place of her setting, or her setting again; the cycle panel follows.
    virtual void standInCycle(const std::optional<StandInCycle>& cycle) = 0;
    // Why her setting is in use although a feature is asked to put a cycle in its place (too few cycles
    // yet): the cycle panel's tooltip while no cycle stands in. Empty for none.
    virtual void cycleNote(const QString& why) = 0;
    // The cycle length the forecast counts with now.
    virtual forecast::CycleLength cycleInUse() const = 0;

    // A lock: nothing of the diary stays on screen; after the unlock, the selected day as before.
    virtual void hideDiary() = 0;
    virtual void showDiaryAgain() = 0;

  protected:
    ~FeatureHost() = default;
};

// A feature in the main window. It is made by the main window over its FeatureHost, a child of the window,
// and adds its menu items when made. Every hook does nothing unless the feature needs it.
class Feature : public QObject {
    Q_OBJECT

  public:
    explicit Feature(FeatureHost& host);

    // Start-up, before the diary opens: false ends the run (she cancelled, or has been told why).
    virtual bool openAtStart() { return true; }
    // The diary is open: at start-up before the settings are shown, and again after an unlock.
    virtual void diaryOpened() {}
    // Before a save writes: false when it must not go on.
    virtual bool beforeSave() { return true; }
    // After her Yes to the purge, before anything is deleted: false stops it (she has been told why).
    virtual bool beforePurge() { return true; }
    // Her records changed. After a replace the main window works the forecast out again itself.
    virtual void recordsChanged(Change) {}
    // Edits she has not answered for, to keep for later.
    virtual void keepEdits(const DayEntry&) {}
    // The diary is about to be closed (a lock): nothing may hold on to it.
    virtual void diaryClosing() {}

  protected:
    FeatureHost& host_;
};

}  // namespace session
