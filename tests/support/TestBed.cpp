#include "support/TestBed.h"

#include "data/Schema.h"
#include "platform/core/Paths.h"
#include "platform/ui/AppSetup.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextEdit>
#include <QUuid>

TestBed::TestBed(const QDate& today, bool withDataFile) {
    settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("config/SELVANE.ini")));
    if (withDataFile) schema::createEmptyDataFile(dataPath());
    services.dialogs = &dialogs;
    services.settings = settings.get();
    services.appFolder = dir.path();
    services.sharedFolder = dir.path();
    services.today = [today] { return today; };
    services.endProcess = [this] { ++processEnds; };
}

TestBed::~TestBed() { module.Db.reset(); }

QString TestBed::dataPath() const { return paths::inFolder(dir.path(), kDataFileName); }

std::unique_ptr<DataFile> TestBed::openData() const { return DataFile::open(dataPath()); }

bool TestBed::sql(const QString& statement) const {
    const QString name = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dataPath());
        db.open();
        QSqlQuery query(db);
        ok = query.exec(statement);
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QVariant TestBed::scalar(const QString& statement) const {
    const QString name = QUuid::createUuid().toString();
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dataPath());
        db.open();
        QSqlQuery query(db);
        if (query.exec(statement) && query.next()) value = query.value(0);
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

void saveDay(TestBed& bed, const QDate& day, const QString& temp, bool guest, const QString& diary) {
    DayEntry entry;
    entry.date = day;
    entry.tempText = temp;
    entry.guest = guest;
    entry.diary = diary;
    auto db = bed.openData();
    db->write(entry, db->findRow(day));
}

QStringList unnamedInputs(const QWidget* widget) {
    QStringList unnamed;
    for (QWidget* input : widget->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(input) && !qobject_cast<QTextEdit*>(input) &&
            !qobject_cast<QAbstractSpinBox*>(input) && !qobject_cast<QCheckBox*>(input))
            continue;
        if (qobject_cast<QLineEdit*>(input) && qobject_cast<QAbstractSpinBox*>(input->parentWidget()))
            continue;  // a spin box's own line
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(input);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(input->objectName());
    }
    return unnamed;
}

void initTestApplication() {
    static bool done = false;
    if (done) return;
    done = true;
    appsetup::applyJapanese(*qApp);
}

std::vector<DayRecord> periodRecords(const QDate& first, const std::vector<int>& lengths, int bleeding) {
    std::vector<DayRecord> records;
    QDate start = first;
    for (int length : lengths) {
        for (int day = 0; day < length; ++day) {
            DayRecord record;
            record.date = start.addDays(day);
            record.guest = day < bleeding;
            record.temp = day < length / 2 ? 36.3 : 36.8;
            records.push_back(record);
        }
        start = start.addDays(length);
    }
    return records;
}

void addPeriods(TestBed& bed, const QDate& first, const std::vector<int>& lengths, int bleeding) {
    bed.openData()->importRecords(periodRecords(first, lengths, bleeding), {});
}
