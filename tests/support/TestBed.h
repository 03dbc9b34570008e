#pragma once

#include "data/SettingsStore.h"
#include "session/Module1.h"
#include "support/ScriptedDialogs.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

class QWidget;

// A private world for one test: a temporary executable folder with an empty data file, a settings file of
// its own, scripted dialogs, a fixed today and an observable end of the process.
struct TestBed {
    explicit TestBed(const QDate& today = QDate(2001, 5, 20), bool withDataFile = true);
    ~TestBed();

    QString dataPath() const;
    // Opens a second connection to the data file, for checking what it holds.
    std::unique_ptr<DataFile> openData() const;
    // Runs a statement directly on the file (to build foreign or damaged content); false when refused.
    bool sql(const QString& statement) const;
    // The first value of a query run directly on the file.
    QVariant scalar(const QString& statement) const;
    int rowCount() const { return scalar(QStringLiteral("SELECT COUNT(*) FROM DATA_FIL")).toInt(); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogs dialogs;
    Module1 module;
    Services services;
    int processEnds = 0;
};

// Writes a day's row straight into the bed's data file (adding or changing it).
void saveDay(TestBed& bed, const QDate& day, const QString& temp, bool guest = false,
             const QString& diary = {});

// Her records over periods of `bleeding` days, the first starting on `first` and each lasting the next of
// `lengths` days (the last one still running); a low reading in each cycle's first half, a high one after.
std::vector<DayRecord> periodRecords(const QDate& first, const std::vector<int>& lengths, int bleeding = 4);
// The same written into the bed's data file.
void addPeriods(TestBed& bed, const QDate& first, const std::vector<int>& lengths, int bleeding = 4);

// Installs the Japanese setup once per test program.
void initTestApplication();

// The inputs under widget (line edits, text boxes, spin boxes, check boxes) that an assistive tool would
// announce without a name, by their object names.
QStringList unnamedInputs(const QWidget* widget);
