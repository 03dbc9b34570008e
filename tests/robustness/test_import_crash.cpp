// An import killed at any moment leaves a sound file holding every imported day or none of them.
#include "data/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>

namespace {

QVariant scalar(const QString& path, const QString& sql) {
    const QString name = QUuid::createUuid().toString();
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        if (query.exec(sql) && query.next()) value = query.value(0);
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

}  // namespace

class TestImportCrash : public QObject {
    Q_OBJECT

  private slots:
    void killedImportIsAllOrNothing() {
        QTemporaryDir dir;
        const QString base = dir.filePath(QStringLiteral("base.mdb"));
        schema::createEmptyDataFile(base);
        scalar(base,
               QStringLiteral("INSERT INTO DATA_FIL SELECT '2001-01-01', 36.5, '', '', '', '元の日', 0, 0"));
        const int days = 10000;
        QFile csv(dir.filePath(QStringLiteral("in.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n");
        for (int i = 0; i < days; ++i)
            csv.write(QStringLiteral("%1,36.%2,体調,薬,予定,\"日記 %3\r\n二行目\",%4,0\r\n")
                          .arg(QDate(2001, 1, 1).addDays(i).toString(Qt::ISODate))
                          .arg(i % 10)
                          .arg(i)
                          .arg(i % 2)
                          .toUtf8());
        csv.close();
        QRandomGenerator random(2024);
        int whole = 0;
        int none = 0;
        // One import left to finish tells how long one takes here; the kills fall within that time.
        QElapsedTimer timer;
        timer.start();
        {
            const QString data = dir.filePath(QStringLiteral("whole/selvane.mdb"));
            QVERIFY(QDir().mkpath(QFileInfo(data).absolutePath()));
            QVERIFY(QFile::copy(base, data));
            QCOMPARE(QProcess::execute(QStringLiteral(IMPORT_CHILD), {data, csv.fileName()}), 0);
        }
        const int span = int(qMax<qint64>(50, timer.elapsed()));
        int kills = 0;  // children that were killed before they finished
        // Under a loaded machine one import's time varies: run on until the kills fell on both sides of the
        // commit.
        for (int run = 0; (kills < 50 || none == 0 || whole == 0) && run < 300; ++run) {
            const QString data = dir.filePath(QStringLiteral("run%1/selvane.mdb").arg(run));
            QVERIFY(QDir().mkpath(QFileInfo(data).absolutePath()));
            QVERIFY(QFile::copy(base, data));
            QProcess child;
            child.start(QStringLiteral(IMPORT_CHILD), {data, csv.fileName()});
            QVERIFY(child.waitForStarted());
            QThread::msleep(random.bounded(2 * span));
            child.kill();  // SIGKILL, or nothing when it has already finished
            QVERIFY(child.waitForFinished());
            if (child.exitStatus() == QProcess::CrashExit) ++kills;
            QCOMPARE(scalar(data, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            const int rows = scalar(data, QStringLiteral("SELECT COUNT(*) FROM DATA_FIL")).toInt();
            const QString first =
                scalar(data, QStringLiteral("SELECT DIARY FROM DATA_FIL WHERE DAT_DATE = '2001-01-01'"))
                    .toString();
            if (rows == 1) {
                QCOMPARE(first, QStringLiteral("元の日"));
                ++none;
            } else {
                QCOMPARE(rows, days);
                QCOMPARE(first, QStringLiteral("日記 0\r\n二行目"));
                ++whole;
            }
            QDir(QFileInfo(data).absolutePath()).removeRecursively();
        }
        qInfo("%d kills: %d left the diary as it was, %d held the whole import", kills, none, whole);
        QVERIFY(kills >= 50);
        QVERIFY2(none > 0 && whole > 0, "the kills should fall both before and after the commit");
    }
};

QTEST_GUILESS_MAIN(TestImportCrash)
#include "test_import_crash.moc"
