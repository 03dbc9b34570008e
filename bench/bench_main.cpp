// Day click and durable save: their cost must not depend on the size of the diary, and a save must cost
// little more than the bare durable write it rests on.
#include "BenchSupport.h"
#include "data/DataFile.h"
#include "data/SettingsStore.h"
#include "main/frmMain.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Answers every question No and shows nothing.
class SilentDialogs : public Dialogs {
  public:
    Answer message(QWidget*, const QString&, const QString&, Icon, Buttons buttons) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const SaveFileRequest&) override { return std::nullopt; }
};

const QDate kLastDay(3000, 12, 31);

// Median time of a click on a day with edits pending (the offered save declined): load, panel, forecast.
double clickMicros(int rows) {
    QTemporaryDir dir;
    bench::makeDataFile(dir.filePath("selvane.mdb"), rows, kLastDay.toString(Qt::ISODate));
    SilentDialogs dialogs;
    SettingsStore settings(dir.filePath("SELVANE.ini"));
    Module1 module;
    Services services;
    services.dialogs = &dialogs;
    services.settings = &settings;
    services.appFolder = dir.path();
    services.today = [] { return kLastDay; };
    frmMain window(module, services);
    window.Form_Load();
    int step = 0;
    return bench::medianMicros(301, [&] {
        const QDate day = kLastDay.addDays(-(step++ % 400));
        window.txtTemp->setText(QStringLiteral("36.6"));
        window.MonthView1->setSelectedDate(day);
        window.MonthView1_DateClick(day);
    });
}

// Median time of a durable save of one day over its existing row, through the program's data file.
double saveMicros(const QString& folder) {
    const QString path = folder + "/save.mdb";
    bench::makeDataFile(path, 1000, kLastDay.toString(Qt::ISODate));
    auto db = DataFile::open(path);
    int step = 0;
    return bench::medianMicros(101, [&] {
        DayEntry entry;
        entry.date = kLastDay;
        entry.tempText = QString::number(36.0 + (step++ % 10) / 10.0);
        entry.diary = QStringLiteral("今日の日記");
        db->write(entry, db->findRow(entry.date));
    });
}

// The same durable change as one bare statement on a one-row table: the floor of any durable save.
double bareSaveMicros(const QString& folder) {
    double result = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(folder + "/bare.db");
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA synchronous = EXTRA"));
        query.exec(QStringLiteral("CREATE TABLE t (d TEXT, temp REAL, diary TEXT)"));
        query.exec(QStringLiteral("INSERT INTO t VALUES ('3000-12-31', 36.5, '')"));
        query.prepare(QStringLiteral("UPDATE t SET temp = ?, diary = ? WHERE d = '3000-12-31'"));
        int step = 0;
        result = bench::medianMicros(101, [&] {
            query.addBindValue(36.0 + (step++ % 10) / 10.0);
            query.addBindValue(QStringLiteral("今日の日記"));
            query.exec();
        });
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    return result;
}

}  // namespace

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    const double small = clickMicros(1000);
    const double large = clickMicros(1000000);
    bench::report(QStringLiteral("day click, 1,000,000 vs 1,000 rows"), large, small, QStringLiteral("us"),
                  1.2);
    // Saves are measured where the diary lives: beside the program, on a real disk.
    QTemporaryDir dir(QDir::currentPath() + "/bench-save-XXXXXX");
    const double bare = bareSaveMicros(dir.path());
    const double save = saveMicros(dir.path());
    bench::report(QStringLiteral("durable save vs bare durable write"), save, bare, QStringLiteral("us"),
                  1.2);
    return 0;
}
