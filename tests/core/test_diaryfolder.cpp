// Where her diary lives, portable or installed, and copying it in from a portable Selvane's folder.
#include "platform/core/DiaryFolder.h"
#include "platform/core/MoveIn.h"
#include "support/FileBytes.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using diaryfolder::Build;

namespace {

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

QStringList everything(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        names << entry.fileName();
        if (entry.isDir() && !entry.isSymLink())
            for (const QString& inner : everything(entry.filePath())) names << entry.fileName() + '/' + inner;
    }
    return names;
}

}  // namespace

class TestDiaryFolder : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString at(const QString& name) const { return root_.filePath(name); }
    diaryfolder::Surroundings around() const {
        return {at("program"), at("data"), at("home"), at("portable")};
    }
    void diaryIn(const QString& folder, const QByteArray& bytes = "diary") {
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + QStringLiteral("/selvane.mdb"), bytes);
    }

  private slots:
    void init() {
        for (const char* name : {"program", "data", "home", "portable"})
            QVERIFY(QDir(at(name)).removeRecursively());
        QVERIFY(QDir().mkpath(at("program")));
        QVERIFY(QDir().mkpath(at("home")));
    }

    // Never a guess from permissions: the build alone decides, a writable or read-only program folder alike.
    void theBuildPicksTheFolder_data() {
        QTest::addColumn<Build>("build");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("portable") << Build::Portable << false << "data"
                                  << "program";
        QTest::newRow("portable, read-only folder") << Build::Portable << true << "data"
                                                    << "program";
        QTest::newRow("installed") << Build::Installed << false << "data"
                                   << "data/selvane";
        QTest::newRow("installed, read-only folder") << Build::Installed << true << "data"
                                                     << "data/selvane";
        QTest::newRow("installed, no XDG_DATA_HOME") << Build::Installed << false << ""
                                                     << "home/.local/share/selvane";
        QTest::newRow("installed, relative XDG_DATA_HOME") << Build::Installed << false << "relative/share"
                                                           << "home/.local/share/selvane";
    }
    void theBuildPicksTheFolder() {
        QFETCH(Build, build);
        QFETCH(bool, readOnly);
        QFETCH(QString, dataHome);
        QFETCH(QString, expected);
        QVERIFY(QFile::setPermissions(at("program"),
                                      readOnly ? QFile::ReadOwner | QFile::ExeOwner
                                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        diaryfolder::Surroundings here = around();
        here.dataHome = dataHome == "data" ? at("data") : dataHome;
        QCOMPARE(diaryfolder::folderFor(build, here), at(expected));
        QCOMPARE(diaryfolder::sharedFilesFolder(Build::Portable, at("program")), at("program"));
    }

    // Offered once, by an installed program that has no diary of its own, from the first earlier folder that
    // holds one.
    void theOfferToMoveIn_data() {
        QTest::addColumn<Build>("build");
        QTest::addColumn<QStringList>("diaries");
        QTest::addColumn<bool>("offeredBefore");
        QTest::addColumn<QString>("source");
        const QStringList both{"portable", "home/Selvane"};
        QTest::newRow("from SELVANE_HOME first") << Build::Installed << both << false << "portable";
        QTest::newRow("from ~/Selvane")
            << Build::Installed << QStringList{"home/Selvane"} << false << "home/Selvane";
        QTest::newRow("declined or taken before") << Build::Installed << both << true << "";
        QTest::newRow("a diary of its own")
            << Build::Installed << QStringList{"data/selvane", "portable"} << false << "";
        QTest::newRow("nothing to move") << Build::Installed << QStringList{} << false << "";
        QTest::newRow("portable") << Build::Portable << both << false << "";
    }
    void theOfferToMoveIn() {
        QFETCH(Build, build);
        QFETCH(QStringList, diaries);
        QFETCH(bool, offeredBefore);
        QFETCH(QString, source);
        for (const QString& folder : diaries) diaryIn(at(folder));
        const std::optional<QString> offer = diaryfolder::moveInSource(build, around(), offeredBefore);
        QCOMPARE(offer.value_or(QString()), source.isEmpty() ? QString() : at(source));
    }

    // Taken: the diary, her backups and the recovery file arrive owner-only and checked; the old folder keeps
    // everything as it was.
    void theDiaryMovesInWhole() {
        const QString from = at("portable");
        diaryIn(from, "her diary");
        QVERIFY(QDir().mkpath(from + "/backups"));
        writeFile(from + "/backups/selvane-20240503-101500-save.mdb", "backup");
        writeFile(from + "/backups/.selvane.mdb-backup.Ab12Cd", "partial");
        QVERIFY(QFile::link(from + "/selvane.mdb", from + "/backups/link.mdb"));
        writeFile(from + "/selvane.recovery", "edits");
        const QStringList before = everything(from);

        const QString to = diaryfolder::folderFor(Build::Installed, around());
        QStringList checked;
        const Result<void> moved = movein::copyDiary(from, to, [&](const QString& path) -> Result<void> {
            checked << path + '=' + contents(path);
            return {};
        });
        QVERIFY2(moved.ok(), qPrintable(moved.ok() ? QString() : moved.message()));
        QCOMPARE(checked, QStringList{to + "/selvane.mdb=her diary"});
        QCOMPARE(everything(to), (QStringList{"backups", "backups/selvane-20240503-101500-save.mdb",
                                              "selvane.mdb", "selvane.recovery"}));
        QCOMPARE(contents(to + "/backups/selvane-20240503-101500-save.mdb"), QByteArray("backup"));
        QCOMPARE(contents(to + "/selvane.recovery"), QByteArray("edits"));
        for (const char* file :
             {"/selvane.mdb", "/selvane.recovery", "/backups/selvane-20240503-101500-save.mdb"})
            QCOMPARE(modeOf(to + file), 0600u);
        QCOMPARE(modeOf(to), 0700u);
        QCOMPARE(modeOf(to + "/backups"), 0700u);
        QCOMPARE(everything(from), before);
        QCOMPARE(contents(from + "/selvane.mdb"), QByteArray("her diary"));
    }

    // Refused: a copy that fails its check, a diary in the middle of a write, a folder that cannot be made,
    // or a diary already there. Nothing changes in either folder; a backup already there is never
    // overwritten.
    void aRefusedMoveChangesNothing_data() {
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the check fails") << "check";
        QTest::newRow("a write not ended") << "journal";
        QTest::newRow("no folder can be made") << "blocked";
        QTest::newRow("a diary already there") << "occupied";
    }
    void aRefusedMoveChangesNothing() {
        QFETCH(QString, refusal);
        const QString from = at("portable");
        diaryIn(from, "her diary");
        QVERIFY(QDir().mkpath(from + "/backups"));
        writeFile(from + "/backups/selvane-20240503-101500-save.mdb", "backup");
        writeFile(from + "/backups/selvane-20240504-101500-save.mdb", "another");
        writeFile(from + "/selvane.recovery", "edits");
        QString to = at("data/selvane");
        QVERIFY(QDir().mkpath(to + "/backups"));
        writeFile(to + "/backups/selvane-20240503-101500-save.mdb", "hers already");
        if (refusal == "journal") writeFile(from + "/selvane.mdb-journal", "hot");
        if (refusal == "occupied") writeFile(to + "/selvane.mdb", "the new diary");
        if (refusal == "blocked") {
            writeFile(at("data/file"), "a file, no folder");
            to = at("data/file/selvane");
        }
        const QStringList fromBefore = everything(from);
        const QStringList toBefore = everything(at("data"));

        const Result<void> moved = movein::copyDiary(from, to, [&](const QString&) -> Result<void> {
            return Failure{QStringLiteral("検査に通りません")};
        });
        QVERIFY(!moved.ok());
        QVERIFY(!moved.message().isEmpty());
        QCOMPARE(everything(from), fromBefore);
        QCOMPARE(everything(at("data")), toBefore);
        QCOMPARE(contents(at("data/selvane/backups/selvane-20240503-101500-save.mdb")),
                 QByteArray("hers already"));
        if (refusal == "occupied") QCOMPARE(contents(to + "/selvane.mdb"), QByteArray("the new diary"));
    }
};

QTEST_GUILESS_MAIN(TestDiaryFolder)
#include "test_diaryfolder.moc"
