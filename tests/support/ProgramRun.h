#pragma once

#include <unistd.h>
#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
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
