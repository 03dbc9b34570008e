// A data file she cannot read, or made read-only while the program runs. Permissions mean nothing to root,
// so this program runs as an ordinary user when started as root.
#include "data/Schema.h"
#include "main/frmMain.h"
#include "support/MainBed.h"

#include <unistd.h>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

class TestPermissions : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (geteuid() == 0) QSKIP("cannot leave root privileges");
        initTestApplication();
    }

    void anUnreadableDataFileIsReportedAndLeftAlone() {
        MainBed bed(QDate(2001, 5, 20));
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFileDevice::Permissions()));
        frmMain* w = bed.startMain();
        QVERIFY(w);
        QCOMPARE(bed.dialogs.calls.size(), 1);
        QCOMPARE(bed.dialogs.calls[0].title, QStringLiteral("PG-Error"));
        ui(w).txtTemp->setText("36.6");
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QCOMPARE(QFile::permissions(bed.dataPath()), QFileDevice::Permissions());
    }

    // Refused, the save leaves the file as it was: a file of an older version keeps it too.
    void aDataFileMadeReadOnlyWhileRunningRefusesTheSave() {
        MainBed bed(QDate(2001, 5, 20));
        QVERIFY(bed.sql("PRAGMA user_version = 0"));
        frmMain* w = bed.startMain();
        QVERIFY(bed.dialogs.calls.isEmpty());
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFileDevice::ReadOwner));
        ui(w).txtCondition->setText("だるい");
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Failed);
        QCOMPARE(bed.dialogs.calls.last().title, QStringLiteral("PG-Error"));
        QVERIFY(bed.module.DataChanged);
        QCOMPARE(ui(w).txtCondition->text(), QStringLiteral("だるい"));
        QCOMPARE(bed.rowCount(), 0);
        QCOMPARE(bed.scalar("PRAGMA user_version").toInt(), 0);
        // Writable again: the same edits save.
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(w->SaveDayRecord(), frmMain::SaveResult::Saved);
        QCOMPARE(bed.rowCount(), 1);
        QCOMPARE(bed.scalar("PRAGMA user_version").toInt(), schema::kVersion);
    }

    void aDataFileOthersCouldReadIsMadePrivate() {
        MainBed bed(QDate(2001, 5, 20));
        QVERIFY(QFile::setPermissions(bed.dataPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(bed.startMain());
        QCOMPARE(QFile::permissions(bed.dataPath()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
    }
};

int main(int argc, char* argv[]) {
    if (geteuid() == 0) {
        // An ordinary user ("nobody"); its files go to the world-writable temporary folder.
        if (setgid(65534) != 0 || setuid(65534) != 0) return 1;
        qputenv("HOME", "/tmp");
        qputenv("XDG_RUNTIME_DIR", "");
    }
    QApplication app(argc, argv);
    TestPermissions test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_permissions.moc"
