#include "support/TestBed.h"

#include "data/Schema.h"
#include "main/frmMain.h"
#include "platform/AppSetup.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

TestBed::TestBed(const QDate& today, bool withDataFile) {
    settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("config/SELVANE.ini")));
    if (withDataFile) schema::createEmptyDataFile(dataPath());
    services.dialogs = &dialogs;
    services.settings = settings.get();
    services.appFolder = dir.path();
    services.today = [today] { return today; };
    services.endProcess = [this] { ++processEnds; };
}

TestBed::~TestBed() {
    main.reset();
    module.Db.reset();
}

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

frmMain* TestBed::startMain() {
    main = std::make_unique<frmMain>(module, services);
    if (!main->Form_Load()) {
        main.reset();
        return nullptr;
    }
    return main.get();
}

void initTestApplication() {
    static bool done = false;
    if (done) return;
    done = true;
    appsetup::applyJapanese(*qApp);
}
