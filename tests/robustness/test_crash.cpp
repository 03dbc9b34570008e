// A save that returned survives the process being killed at any moment, and the file stays sound.
#include "support/TestBed.h"

#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

class TestCrash : public QObject {
    Q_OBJECT

  private slots:
    void killedMidSaveLosesNothingReported() {
        TestBed bed;
        QRandomGenerator random(1207);
        QMap<QString, qint64> lastReported;  // day -> newest sequence reported as saved
        const int kills = 100;
        int reportedSaves = 0;
        for (int run = 0; run < kills; ++run) {
            QProcess child;
            child.start(QStringLiteral(CRASH_CHILD), {bed.dataPath(), QString::number(run * 100000LL)});
            QVERIFY(child.waitForStarted());
            QThread::msleep(20 + random.bounded(80));
            child.kill();  // SIGKILL
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
                if (line.isEmpty()) continue;
                const qint64 sequence = line.toLongLong();
                const QString day = QDate(2001, 1, 1).addDays(sequence % 40).toString(Qt::ISODate);
                lastReported[day] = sequence;
                ++reportedSaves;
            }
        }
        QVERIFY2(reportedSaves > kills, "the children saved too little to prove anything");
        QCOMPARE(bed.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(bed.scalar("SELECT COUNT(*) - COUNT(DISTINCT DAT_DATE) FROM DATA_FIL").toInt(), 0);
        for (auto it = lastReported.cbegin(); it != lastReported.cend(); ++it) {
            const qint64 stored =
                bed.scalar(QStringLiteral("SELECT Memo FROM DATA_FIL WHERE DAT_DATE = '%1'").arg(it.key()))
                    .toLongLong();
            // The stored save is the one reported last, or one made after it that had not reported yet.
            QVERIFY2(stored >= it.value(), qPrintable(it.key()));
        }
        qInfo("%d kills, %d saves reported", kills, reportedSaves);
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
