// Day click and durable save: their cost must not depend on the size of the diary, and a save must cost
// little more than the bare durable write it rests on. Each pair is measured in turns, so that load from
// elsewhere on the machine (and on its disk) falls on both alike.
#include "BenchSupport.h"
#include "SilentDialogs.h"
#include "data/DataFile.h"
#include "data/SettingsStore.h"
#include "main/frmMain.h"
#include "platform/ui/AppSetup.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QDate kLastDay(3000, 12, 31);

// A main window over a data file of the given size.
struct ClickBed {
    explicit ClickBed(int rows) : settings(dir.filePath("SELVANE.ini")) {
        bench::makeDataFile(dir.filePath("selvane.mdb"), rows, kLastDay.toString(Qt::ISODate));
        services.dialogs = &dialogs;
        services.settings = &settings;
        services.appFolder = dir.path();
        services.today = [] { return kLastDay; };
        window = std::make_unique<frmMain>(module, services);
        window->Form_Load();
        temp = window->findChild<QLineEdit*>(QStringLiteral("txtTemp"));
        calendar = window->findChild<QCalendarWidget*>(QStringLiteral("MonthView1"));
    }
    // A click on a day with edits pending (the offered save declined): load, panel, forecast.
    void click() {
        const QDate day = kLastDay.addDays(-(step++ % 400));
        temp->setText(QStringLiteral("36.6"));
        calendar->setSelectedDate(day);
        window->MonthView1_DateClick(day);
    }

    QTemporaryDir dir;
    SilentDialogs dialogs;
    SettingsStore settings;
    Module1 module;
    Services services;
    std::unique_ptr<frmMain> window;
    QLineEdit* temp = nullptr;
    QCalendarWidget* calendar = nullptr;
    int step = 0;
};

// Median times of a durable save of one day over its existing row through the program's data file, and of
// the same durable change as one bare statement on a one-row table: the floor of any durable save.
std::pair<double, double> saveMicros(const QString& folder) {
    const QString path = folder + "/save.mdb";
    bench::makeDataFile(path, 1000, kLastDay.toString(Qt::ISODate));
    auto file = DataFile::open(path);
    std::vector<double> medians;
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
        auto save = [&] {
            DayEntry entry;
            entry.date = kLastDay;
            entry.tempText = QString::number(36.0 + (step++ % 10) / 10.0);
            entry.diary = QStringLiteral("今日の日記");
            file->write(entry, file->findRow(entry.date));
        };
        auto bare = [&] {
            query.addBindValue(36.0 + (step++ % 10) / 10.0);
            query.addBindValue(QStringLiteral("今日の日記"));
            query.exec();
        };
        medians = bench::interleavedMedianMicros(101, {save, bare});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    return {medians[0], medians[1]};
}

}  // namespace

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    ClickBed small(1000);
    ClickBed large(1000000);
    const std::vector<double> clicks =
        bench::interleavedMedianMicros(301, {[&] { small.click(); }, [&] { large.click(); }});
    bench::report(QStringLiteral("day click, 1,000,000 vs 1,000 rows"), clicks[1], clicks[0],
                  QStringLiteral("us"), 1.2);
    // Saves are measured where the diary lives: beside the program, on a real disk.
    QTemporaryDir dir(QDir::currentPath() + "/bench-save-XXXXXX");
    const auto [save, bare] = saveMicros(dir.path());
    bench::report(QStringLiteral("durable save vs bare durable write"), save, bare, QStringLiteral("us"),
                  1.2);
    return 0;
}
