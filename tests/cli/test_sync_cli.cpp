// Two computers through the command line, as a script would keep them in step: each program folder with its
// own settings, one shared folder; their own days on both, and a day changed on both kept on both.
#include "support/FileBytes.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Computer : ProgramFolder {
    Computer(const QTemporaryDir& dir, const QString& name) : ProgramFolder(dir.filePath(name)) {}
    // The exit status; out: standard output.
    int run(const QStringList& arguments, QString* out = nullptr) const {
        const ProgramRun ran = ProgramFolder::run(arguments);
        if (out) *out = ran.outText();
        return ran.status;
    }
};

}  // namespace

class TestSyncCli : public QObject {
    Q_OBJECT

  private slots:
    void twoComputersThroughTheCommandLine() {
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        const Computer a(dir, QStringLiteral("a")), b(dir, QStringLiteral("b"));
        QCOMPARE(a.run({QStringLiteral("--sync")}), 1);  // no folder set yet
        QCOMPARE(a.run({QStringLiteral("--sync-folder"), dir.filePath(QStringLiteral("missing"))}), 1);
        for (const Computer* c : {&a, &b}) QCOMPARE(c->run({QStringLiteral("--sync-folder"), shared}), 0);
        QCOMPARE(a.run({QStringLiteral("--sync-folder"), a.folder}), 1);  // it would carry the diary itself
        a.import(QStringLiteral("2026-11-01,36.5,,,,aの日,0,0\r\n2026-11-02,36.6,,,,,1,0\r\n"));
        b.import(QStringLiteral("2026-11-10,36.9,,,,bの日,0,0\r\n"));
        // An import is in its computer's journal as soon as it is written.
        QCOMPARE(QDir(shared + QStringLiteral("/Selvane")).entryList(QDir::Files).size(), 2);
        for (int round = 0; round < 2; ++round)
            for (const Computer* c : {&a, &b}) QCOMPARE(c->run({QStringLiteral("--sync")}), 0);
        QCOMPARE(a.rows(), b.rows());
        QVERIFY(a.rows().contains("2026-11-10,36.9"));

        // The same day changed on both before either synced: the diaries agree, and each file still holds
        // both texts (the other one kept as a conflict).
        a.import(QStringLiteral("2026-11-01,36.5,,,,朝に書いた,0,0\r\n"));
        b.import(QStringLiteral("2026-11-01,36.5,,,,夜に書いた,0,0\r\n"));
        QString said;
        for (const Computer* c : {&a, &b, &a}) QCOMPARE(c->run({QStringLiteral("--sync")}, &said), 0);
        QVERIFY2(said.contains(QStringLiteral("競合のある日：1日")), qPrintable(said));
        QCOMPARE(a.rows(), b.rows());
        for (const Computer* c : {&a, &b})
            for (const char* text : {"朝に書いた", "夜に書いた"}) QVERIFY(c->diary().contains(text));
        // No database ever goes into the shared folder: only the journals.
        QDirIterator files(shared, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            QVERIFY2(files.next().endsWith(QLatin1String(".journal")), qPrintable(files.filePath()));

        // Off again: nothing is read or written, the diary stays.
        QCOMPARE(a.run({QStringLiteral("--sync-folder"), QString()}), 0);
        QCOMPARE(a.run({QStringLiteral("--sync")}), 1);
    }
};

QTEST_GUILESS_MAIN(TestSyncCli)
#include "test_sync_cli.moc"
