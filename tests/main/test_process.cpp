// The program as a running process: where it finds its files, its help window, and what a session that ends
// without the closing questions leaves of her edits.
#include "data/Schema.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The built program, run offscreen with settings of its own; it ends by itself once its window has drawn.
QProcessEnvironment programEnvironment(const QTemporaryDir& dir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("SELVANE_QUIT_AFTER_FIRST_FRAME"), QStringLiteral("1"));
    return environment;
}

}  // namespace

class TestProcess : public QObject {
    Q_OBJECT

  private slots:
    // Unpacked from a Shift_JIS archive, the folder 日記 is named by bytes that are not UTF-8: the program
    // still finds its data file there and starts.
    void findsItsFilesInAFolderNamedInShiftJis() {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/\x93\xfa\x8b\x4c";
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        const auto removeFolder = qScopeGuard([&] {  // which QTemporaryDir cannot name
            for (const char* name : {"/selvane", "/selvane.mdb"}) ::unlink((folder + name).constData());
            ::rmdir(folder.constData());
        });
        QVERIFY(QFile::copy(QStringLiteral(SELVANE_EXE), dir.filePath(QStringLiteral("selvane"))));
        QVERIFY(schema::createEmptyDataFile(dir.filePath(QStringLiteral("selvane.mdb"))));
        for (const QByteArray name : {"selvane", "selvane.mdb"})
            QCOMPARE(::rename(QFile::encodeName(dir.filePath(QString::fromLatin1(name))).constData(),
                              (folder + '/' + name).constData()),
                     0);
        // No text leads to such a folder: the child reaches it through a descriptor it inherits.
        const int held = ::open(folder.constData(), O_PATH | O_DIRECTORY);
        QVERIFY(held >= 0);
        QProcess program;
        program.setProcessEnvironment(programEnvironment(dir));
        program.start(QStringLiteral("/proc/self/fd/%1/selvane").arg(held));
        const bool ended = program.waitForFinished(20000);  // a refusal would wait on its message box
        ::close(held);
        QVERIFY2(ended, "the program did not start its window");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "test_process.moc"
