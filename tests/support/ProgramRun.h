#pragma once

#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>
#include <optional>

// The program run as a script runs it: no display (never a window, whatever the options), no terminal to ask
// on, its exit status and both streams. Header only, for the tests that start the built program.
struct ProgramRun {
    int status = -1;  // -1: it crashed or did not end in time
    QByteArray out;
    QString err;
    QString outText() const { return QString::fromUtf8(out); }
};

struct ProgramCall {
    QString folder;                   // its working folder (empty: the test's own)
    std::optional<QByteArray> input;  // standard input, closed after it; none: closed at once
    QMap<QString, QString>
        environment;  // added to the test's own (a null value takes one out); never a display
    int timeoutMs = 60000;

    static ProgramCall in(const QString& folder) {
        ProgramCall call;
        call.folder = folder;
        return call;
    }
};

inline ProgramRun runProgram(const QString& program, const QStringList& arguments,
                             const ProgramCall& call = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    for (auto it = call.environment.constBegin(); it != call.environment.constEnd(); ++it) {
        if (it.value().isNull())
            environment.remove(it.key());
        else
            environment.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(environment);
    if (!call.folder.isEmpty()) process.setWorkingDirectory(call.folder);
    process.setChildProcessModifier([] { ::setsid(); });  // no controlling terminal
    process.start(program, arguments);
    if (call.input) process.write(*call.input);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(call.timeoutMs)) return run;
    if (process.exitStatus() == QProcess::NormalExit) run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// One of her computers as far as the program can tell: a program folder of its own (the program with its
// diary beside it) and settings of its own (XDG_CONFIG_HOME), driven through the command line as a script
// would.
struct ProgramFolder {
    QString folder;

    explicit ProgramFolder(const QString& folder) : folder(folder) {
        QDir().mkpath(folder + QStringLiteral("/config"));
        QFile::copy(QStringLiteral(SELVANE_EXE), folder + QStringLiteral("/selvane"));
        runProgram(QStringLiteral(MAKEDB_EXE), {folder + QStringLiteral("/selvane.mdb")});
    }
    ProgramRun run(const QStringList& arguments) const {
        ProgramCall call = ProgramCall::in(folder);
        call.environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
        return runProgram(folder + QStringLiteral("/selvane"), arguments, call);
    }
    // Her days from CSV rows (the export's columns), replacing the days she had.
    void import(const QString& rows) const {
        QFile csv(folder + QStringLiteral("/in.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly | QIODevice::Truncate));
        csv.write("date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n" +
                  rows.toUtf8());
        csv.close();
        const ProgramRun imported = run({QStringLiteral("--import"), QStringLiteral("in.csv"),
                                         QStringLiteral("--on-conflict"), QStringLiteral("replace")});
        QVERIFY2(imported.status == 0, qPrintable(imported.err));
    }
    QByteArray diary() const { return bytesOf(folder + QStringLiteral("/selvane.mdb")); }
    // Every day she has, as the export writes them.
    QByteArray rows() const {
        run({QStringLiteral("--export"), QStringLiteral("all.csv")});
        return bytesOf(folder + QStringLiteral("/all.csv"));
    }

  private:
    static QByteArray bytesOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};
