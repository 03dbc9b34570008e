// Makes an empty Selvane data file (the program itself never makes one).
//   selvane_makedb [--if-missing] PATH
// Never replaces an existing file: without --if-missing that is an error, with it a quiet success.
#include "data/Schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: selvane_makedb [--if-missing] PATH\n");
        return 2;
    }
    const QString path = args.constFirst();
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (ifMissing) return 0;
        std::fprintf(stderr, "selvane_makedb: %s already exists; it is left as it is\n", qPrintable(path));
        return 1;
    }
    QString reason;
    if (!schema::createEmptyDataFile(path, &reason)) {
        std::fprintf(stderr, "selvane_makedb: cannot make %s: %s\n", qPrintable(path), qPrintable(reason));
        return 1;
    }
    return 0;
}
