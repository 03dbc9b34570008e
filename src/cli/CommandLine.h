#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

class DataFile;

// The command line: whole-diary work without a window, for scripts and for her own backups.
namespace cli {

enum Exit : int {
    Success = 0,
    Refused = 1,  // a refused file or a failed check
    Usage = 2,    // the arguments make no sense
};

// What a command is handed: where the diary lives, and the two streams it reports on.
struct Context {
    QString appFolder;      // the diary's folder: beside the executable, or her data folder when installed
    QTextStream& out;       // standard output: the command's product (CSV, figures)
    QTextStream& err;       // standard error: messages, in Japanese
    int passphraseFd = -1;  // --passphrase-fd: passphrases are read from it, one a line; -1: the terminal

    // The data file in that folder.
    QString dataPath() const;
    // The diary, opened for the command (a locked one with its passphrase, asked as
    // prompt says); on failure the reason is on err and the result is empty.
    std::unique_ptr<DataFile> openDiary(const QString& prompt = {});
};

// One command: the options it adds to the parser; it runs when the first of them is given.
struct Command {
    QList<QCommandLineOption> options;
    int positional = 0;  // how many plain arguments may follow (a folder, for instance)
    std::function<int(const QCommandLineParser&, Context&)> run;
};

// Every command of the program (Commands.cpp lists them).
std::vector<Command> commands();
// Each feature's commands, in a file of its own.
std::vector<Command> transferCommands();    // TransferCommands.cpp: the whole diary in and out
std::vector<Command> reportCommands();      // ReportCommands.cpp: the chart for her doctor
std::vector<Command> passphraseCommands();  // PassphraseCommands.cpp: setting and removing a passphrase
std::vector<Command> historyCommands();     // HistoryCommands.cpp: her cycles
std::vector<Command> syncCommands();  // SyncCommands.cpp: her diary kept in step with her other computers

// Whether the arguments ask for the command line rather than the window: any long option ("--...") or a
// help/version flag. Qt's own single-dash options (-platform, -style) still go to the window.
bool wanted(const QStringList& arguments);

// Parses and runs the command; the exit status of the process.
int run(int argc, char** argv);

}  // namespace cli
