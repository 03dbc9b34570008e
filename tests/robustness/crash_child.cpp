// Saves days into a data file as fast as it can and reports each save that returned, until killed.
//   crash_child PATH FIRST_SEQUENCE
#include "data/DataFile.h"
#include "platform/core/PgError.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    try {
        auto db = DataFile::open(QString::fromLocal8Bit(argv[1]));
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
