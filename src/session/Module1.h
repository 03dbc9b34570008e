#pragma once

#include "data/DataFile.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class Dialogs;
class SettingsStore;
class WindowPrinter;

// The run's state, one instance made by main() and handed to every window.
struct Module1 {
    std::unique_ptr<DataFile> Db;  // the open data file
    QDate SelectedDate;            // the day the entry shows and a save writes to
    bool DataChanged = false;      // the entry was edited since it was loaded or saved
    QString CycleDays;             // the cycle length exactly as stored
    float AverageTemp = 0.0f;      // the average temperature, degrees Celsius
};

// What the windows need of their surroundings; tests replace every piece.
struct Services {
    Dialogs* dialogs = nullptr;
    SettingsStore* settings = nullptr;
    WindowPrinter* printer = nullptr;
    QString appFolder;     // her diary's folder: beside the executable, or her data folder when installed
    QString sharedFolder;  // what the program reads besides her files (the help document)
    QString helpProgram;   // the program that shows the help as a window of its own; empty: in this process
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    std::function<void()> endProcess;  // ends the run at once
};

// The data file's name in that folder.
inline const QString kDataFileName = QStringLiteral("selvane.mdb");
