// A save that returned survives the process being killed at any moment, and the file stays sound.
#include "support/TestBed.h"
#include "vault/LockedDiary.h"

#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

namespace {

// Starts the saving child again and again and kills it at a random moment; the newest sequence reported as
// saved for each day.
QMap<QString, qint64> killSavingChildren(const QString& path, const QStringList& extra) {
    QRandomGenerator random(1207);
    QMap<QString, qint64> lastReported;
    const int kills = 100;
    int reportedSaves = 0;
    for (int run = 0; run < kills; ++run) {
        QProcess child;
        child.start(QStringLiteral(CRASH_CHILD), QStringList{path, QString::number(run * 100000LL)} + extra);
        if (!child.waitForStarted()) return {};
        // Killed while it saves, not while it starts (slow under the sanitizers or on a busy machine).
        child.waitForReadyRead(20000);
        QThread::msleep(random.bounded(80));
        child.kill();  // SIGKILL
        child.waitForFinished();
        if (child.exitStatus() != QProcess::CrashExit)
            qWarning("child ended on its own: %d", child.exitCode());
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            if (line.isEmpty()) continue;
            const qint64 sequence = line.toLongLong();
            lastReported[QDate(2001, 1, 1).addDays(sequence % 40).toString(Qt::ISODate)] = sequence;
            ++reportedSaves;
        }
    }
    qInfo("%d kills, %d saves reported", kills, reportedSaves);
    if (reportedSaves <= kills) return {};  // too little saved to prove anything
    return lastReported;
}

}  // namespace

class TestCrash : public QObject {
    Q_OBJECT

  private slots:
    void killedMidSaveLosesNothingReported() {
        TestBed bed;
        const QMap<QString, qint64> lastReported = killSavingChildren(bed.dataPath(), {});
        QVERIFY(!lastReported.isEmpty());
        QCOMPARE(bed.scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        QCOMPARE(bed.scalar("SELECT COUNT(*) - COUNT(DISTINCT DAT_DATE) FROM DATA_FIL").toInt(), 0);
        for (auto it = lastReported.cbegin(); it != lastReported.cend(); ++it) {
            const qint64 stored =
                bed.scalar(QStringLiteral("SELECT Memo FROM DATA_FIL WHERE DAT_DATE = '%1'").arg(it.key()))
                    .toLongLong();
            // The stored save is the one reported last, or one made after it that had not reported yet.
            QVERIFY2(stored >= it.value(), qPrintable(it.key()));
        }
    }

    // The same for a locked diary, whose every save writes the whole file: it always unlocks.
    void killedMidLockedSaveLosesNothingReported() {
        TestBed bed;
        const QString passphrase = QStringLiteral("kill-me-not");
        vault::lockDiary(bed.dataPath(), vault::Secret::fromText(passphrase), vault::kCheapestCost, {})
            .reset();
        const QMap<QString, qint64> lastReported = killSavingChildren(bed.dataPath(), {passphrase});
        QVERIFY(!lastReported.isEmpty());
        auto opened = vault::unlock(bed.dataPath(), vault::readLockedFile(bed.dataPath()),
                                    vault::Secret::fromText(passphrase), std::nullopt, {});
        QVERIFY(opened.file);
        for (auto it = lastReported.cbegin(); it != lastReported.cend(); ++it) {
            const auto record = opened.file->load(QDate::fromString(it.key(), Qt::ISODate));
            QVERIFY2(record && record->memo.toLongLong() >= it.value(), qPrintable(it.key()));
        }
        // What killed saves left behind is sealed too: never the diary's text in plain.
        const QDir folder(bed.dir.path());
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(QByteArray(40, 'x')), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
