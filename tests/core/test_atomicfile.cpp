// Replacing a file in one step: the old file survives every failure, including a full disk.
#include "platform/core/AtomicFile.h"
#include "support/FileBytes.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

// Runs the replacement in a child limited to files of limit bytes, as a nearly full disk would.
// Returns what the child reported: 0 written, 1 refused.
int replaceUnderLimit(const QString& path, const QByteArray& bytes, rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(AtomicFile::replace(path, bytes).isEmpty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT

  private slots:
    void replacesOwnerOnly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("日記.txt"));
        QVERIFY(AtomicFile::replace(path, "first").isEmpty());
        QVERIFY(AtomicFile::replace(path, "second").isEmpty());
        QCOMPARE(contents(path), QByteArray("second"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                 1);
    }

    // Too big for what is left: refused, the old file whole, no temporary file, whether the bytes overflow
    // on a write or only at the final flush.
    void aFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("flushed at commit") << 10 * 1024;
        QTest::newRow("written in passes") << 3 * 1024 * 1024;
    }
    void aFullDiskKeepsTheOldFile() {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("export.csv"));
        QVERIFY(AtomicFile::replace(path, "old diary").isEmpty());
        QCOMPARE(replaceUnderLimit(path, QByteArray(size, 'x'), 4096), 1);
        QCOMPARE(contents(path), QByteArray("old diary"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                 1);
        QCOMPARE(replaceUnderLimit(dir.filePath(QStringLiteral("new.csv")), QByteArray(size, 'x'), 4096), 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.csv"))));
    }

    void refusesAFolderAndAMissingFolder() {
        QTemporaryDir dir;
        QCOMPARE(AtomicFile::replace(dir.path(), "x"), QStringLiteral("ﾌｫﾙﾀﾞです。（Is a directory）"));
        QCOMPARE(AtomicFile::replace(dir.filePath(QStringLiteral("no/such/file")), "x"),
                 QStringLiteral("ﾌｧｲﾙまたはﾌｫﾙﾀﾞがありません。（No such file or directory）"));
    }

    void writesThroughALink() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target.txt"));
        QVERIFY(AtomicFile::replace(target, "old").isEmpty());
        QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("link.txt"))));
        QVERIFY(AtomicFile::replace(dir.filePath(QStringLiteral("link.txt")), "new").isEmpty());
        QCOMPARE(contents(target), QByteArray("new"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link.txt"))).isSymLink());
    }

    // A writer killed half-way leaves its temporary file; the sweep takes exactly those: not the file, not a
    // writer's still at work, not a link, a folder or a name that is not one of ours.
    void removesOnlyStaleTemporaryFiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("selvane.mdb"));
        QVERIFY(AtomicFile::replace(path, "diary").isEmpty());
        const pid_t child = fork();
        if (child == 0) {
            AtomicFile killed(path);
            _exit(killed.open() && killed.write("half", 4) ? 0 : 1);  // gone without a commit or clean-up
        }
        int status = 0;
        waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        QDir folder(dir.path());
        const QStringList killed =
            folder.entryList({QStringLiteral(".selvane.mdb.*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(killed.size(), 1);
        QVERIFY(AtomicFile::replace(dir.filePath(QStringLiteral("outside")), "theirs").isEmpty());
        const QStringList others = {".selvane.mdb.abc12", ".selvane.mdb.abc123.bak", ".other.mdb.abc123",
                                    "selvane.mdb.abc123"};
        for (const QString& name : others) QVERIFY(AtomicFile::replace(folder.filePath(name), "x").isEmpty());
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside")), folder.filePath(".selvane.mdb.Link01")));
        QVERIFY(folder.mkdir(QStringLiteral(".selvane.mdb.Dir001")));
        AtomicFile working(path);
        QVERIFY(working.open() && working.write("new diary", 9));

        QCOMPARE(AtomicFile::removeStale(path), 1);
        QVERIFY(!folder.exists(killed.first()));
        for (const QString& name :
             others + QStringList{".selvane.mdb.Link01", ".selvane.mdb.Dir001", "outside"})
            QVERIFY2(folder.exists(name), qPrintable(name));
        QCOMPARE(contents(path), QByteArray("diary"));
        QVERIFY(working.commit());
        QCOMPARE(contents(path), QByteArray("new diary"));
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
