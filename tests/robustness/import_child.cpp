// Imports a CSV file into a data file, replacing differing days, and says "done" when it returned.
//   import_child DATA CSV
#include "cli/TransferCommands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    QTextStream err(stderr);
    const int status =
        cli::importCommand(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), true, err);
    std::printf(status == 0 ? "done\n" : "failed\n");
    return status;
}
