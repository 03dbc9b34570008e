// --sync of a locked diary from a script: its passphrase seals the folder, a plain diary there asks for the
// folder's, and a wrong one merges nothing.
#include "data/Schema.h"
#include "support/FileBytes.h"
#include "support/ProgramRun.h"
#include "vault/FolderSeal.h"
#include "vault/LockedDiary.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Computer {
    QString folder;  // the program, its diary and its settings

    Computer(const QTemporaryDir& dir, const QString& name) : folder(dir.filePath(name)) {
        QDir().mkpath(folder + QStringLiteral("/config"));
        QFile::copy(QStringLiteral(SELVANE_EXE), folder + QStringLiteral("/selvane"));
        schema::createEmptyDataFile(folder + QStringLiteral("/selvane.mdb"));
    }
    // passphrase: the one line given on --passphrase-fd 0; none: no way to ask at all.
    ProgramRun run(QStringList arguments, const std::optional<QString>& passphrase = std::nullopt) const {
        ProgramCall call = ProgramCall::in(folder);
        call.environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
        if (passphrase) {
            arguments << QStringLiteral("--passphrase-fd") << QStringLiteral("0");
            call.input = passphrase->toUtf8() + '\n';
        }
        return runProgram(folder + QStringLiteral("/selvane"), arguments, call);
    }
    void import(const QString& row, const std::optional<QString>& passphrase = std::nullopt) const {
        writeFile(folder + QStringLiteral("/in.csv"),
                  "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n" +
                      row.toUtf8() + "\r\n");
        QCOMPARE(run({QStringLiteral("--import"), QStringLiteral("in.csv")}, passphrase).status, 0);
    }
    QByteArray rows(const std::optional<QString>& passphrase = std::nullopt) const {
        run({QStringLiteral("--export"), QStringLiteral("all.csv")}, passphrase);
        return contents(folder + QStringLiteral("/all.csv"));
    }
};

const QString kPassphrase = QStringLiteral("hinoki");

}  // namespace

class TestSyncSealedCli : public QObject {
    Q_OBJECT

  private slots:
    void lockedDiaryThroughTheCommandLine() {
        QTemporaryDir dir;
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        // Sealed cheaply beforehand: the program reads the cost from the folder.
        QVERIFY(vault::openFolderSeal(shared, vault::Secret::fromText(kPassphrase), vault::kCheapestCost));
        const Computer a(dir, QStringLiteral("a")), b(dir, QStringLiteral("b"));
        vault::lockDiary(a.folder + QStringLiteral("/selvane.mdb"), vault::Secret::fromText(kPassphrase),
                         vault::kCheapestCost, {})
            .reset();
        for (const Computer* c : {&a, &b})
            QCOMPARE(c->run({QStringLiteral("--sync-folder"), shared}).status, 0);
        a.import(QStringLiteral("2026-11-01,36.5,,,,秘密のa,0,0"), kPassphrase);
        b.import(QStringLiteral("2026-11-10,36.9,,,,秘密のb,0,0"));
        QCOMPARE(a.run({QStringLiteral("--sync")}, kPassphrase).status, 0);

        // The plain diary: without a passphrase, or with another one, nothing is merged.
        ProgramRun run = b.run({QStringLiteral("--sync")});
        QCOMPARE(run.status, 1);
        run = b.run({QStringLiteral("--sync")}, QStringLiteral("sugi"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(vault::kOtherFolderPassphrase), qPrintable(run.err));
        QVERIFY(!b.rows().contains("秘密のa"));

        QCOMPARE(b.run({QStringLiteral("--sync")}, kPassphrase).status, 0);
        QCOMPARE(a.run({QStringLiteral("--sync")}, kPassphrase).status, 0);
        QVERIFY(b.rows().contains("秘密のa"));
        QCOMPARE(a.rows(kPassphrase), b.rows());
        QDirIterator files(shared, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QByteArray bytes = contents(files.next());
            QVERIFY2(!bytes.contains("秘密の"), qPrintable(files.filePath()));
        }

        // Her passphrase changed on a: the folder follows it, and b is asked for the new one.
        const QString next = QStringLiteral("sugi");
        const ProgramRun changed = a.run({QStringLiteral("--set-passphrase")}, kPassphrase + u'\n' + next);
        QCOMPARE(changed.status, 0);
        QVERIFY2(changed.err.contains(QStringLiteral("同期ﾌｫﾙﾀﾞも新しいﾊﾟｽﾜｰﾄﾞで暗号化しました")),
                 qPrintable(changed.err));
        a.import(QStringLiteral("2026-11-20,36.4,,,,新しい鍵のa,0,0"), next);
        QCOMPARE(a.run({QStringLiteral("--sync")}, next).status, 0);
        QCOMPARE(b.run({QStringLiteral("--sync")}, kPassphrase).status, 1);
        QCOMPARE(b.run({QStringLiteral("--sync")}, next).status, 0);
        QCOMPARE(a.run({QStringLiteral("--sync")}, next).status, 0);
        QVERIFY(b.rows().contains("新しい鍵のa"));
        QCOMPARE(a.rows(next), b.rows());
    }
};

QTEST_GUILESS_MAIN(TestSyncSealedCli)
#include "test_sync_sealed_cli.moc"
