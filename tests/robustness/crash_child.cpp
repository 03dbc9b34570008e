// Saves days into a data file as fast as it can and reports each save that returned, until killed.
//   crash_child PATH FIRST_SEQUENCE [PASSPHRASE]   (with a passphrase: the file is a locked diary)
#include "data/DataFile.h"
#include "platform/core/PgError.h"
#include "vault/LockedDiary.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4) return 2;
    try {
        const QString path = QString::fromLocal8Bit(argv[1]);
        std::unique_ptr<DataFile> db;
        if (argc == 4) {
            db = vault::unlock(path, vault::readLockedFile(path),
                               vault::Secret::fromText(QString::fromLocal8Bit(argv[3])), std::nullopt, {})
                     .file;
            if (!db) return 3;
        } else {
            db = DataFile::open(path);
        }
        for (long long sequence = std::atoll(argv[2]);; ++sequence) {
            DayEntry entry;
            entry.date = QDate(2001, 1, 1).addDays(sequence % 40);
            entry.tempText = QStringLiteral("36.5");
            entry.memo = QString::number(sequence);
            entry.diary = QString(200 + sequence % 300, QLatin1Char('x'));
            db->write(entry, db->findRow(entry.date));
            std::printf("%lld\n", sequence);
            std::fflush(stdout);
        }
    } catch (const PgError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
