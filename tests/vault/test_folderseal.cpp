// A locked diary's sync folder: no plaintext of any day in it, the same passphrase everywhere ending in the
// same diary, another passphrase merging nothing until the right one is given, and the salt made only once.
#include "data/DataFile.h"
#include "data/Schema.h"
#include "support/FileBytes.h"
#include "sync/Session.h"
#include "vault/FolderSeal.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using namespace syncing;

namespace {

std::unique_ptr<Sealer> sealerFor(const QString& folder, const QString& passphrase) {
    auto opened = vault::openFolderSeal(folder, vault::Secret::fromText(passphrase), vault::kCheapestCost);
    return opened ? std::move(opened).value() : nullptr;
}

struct Computer {
    ComputerId id;
    std::unique_ptr<DataFile> file;
    qint64 now = 1700000000000;

    Computer(const QTemporaryDir& dir, char tag) : id(16, tag) {
        const QString path = dir.filePath(QStringLiteral("diary-%1.mdb").arg(QLatin1Char(tag)));
        schema::createEmptyDataFile(path);
        file = DataFile::open(path);
    }
    std::unique_ptr<Session> session(const QString& folder, const Sealer* sealer) {
        auto s = std::make_unique<Session>(
            *file, folder, id, QStringLiteral("pc"), [this] { return now += 1000; }, sealer);
        static_cast<void>(s->start());
        return s;
    }
    void save(const QDate& day, const QString& diary) {
        DayEntry entry;
        entry.date = day;
        entry.tempText = QStringLiteral("36.5");
        entry.diary = diary;
        file->write(entry, file->findRow(day));
    }
    QStringList rows() {
        QStringList all;
        file->forEachRow([&](const StoredRow& row) {
            all << row.date + u' ' + row.diary;
            return true;
        });
        return all;
    }
};

// Whether any file under folder holds the text.
bool anywhere(const QString& folder, const QString& text) {
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        if (contents(files.next()).contains(text.toUtf8())) return true;
    return false;
}

const QDate kDay(2024, 3, 1);

}  // namespace

class TestFolderSeal : public QObject {
    Q_OBJECT

  private slots:
    void sealedFolderHoldsNoPlaintext() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        Computer a(dir, 'a'), b(dir, 'b');
        a.save(kDay, QStringLiteral("秘密の朝"));
        // Synced plain first: its journal holds the text, until the folder is sealed.
        QVERIFY(a.session(folder, nullptr)->merge());
        QVERIFY(anywhere(folder, QStringLiteral("秘密の朝")));
        QVERIFY(!vault::folderSealed(folder));

        const auto key = sealerFor(folder, QStringLiteral("hinoki"));
        QVERIFY(key && vault::folderSealed(folder));
        auto sa = a.session(folder, key.get());
        QVERIFY(sa->merge());
        QVERIFY(!anywhere(folder, QStringLiteral("秘密の朝")));  // rewritten sealed

        // A second computer with the same passphrase: the salt read, not made again; both end the same.
        const auto same = sealerFor(folder, QStringLiteral("hinoki"));
        QVERIFY(same);
        b.save(kDay.addDays(1), QStringLiteral("秘密の夜"));
        auto sb = b.session(folder, same.get());
        QVERIFY(sb->merge());
        a.save(kDay.addDays(2), QStringLiteral("秘密の昼"));
        QVERIFY(sa->merge());
        QVERIFY(sb->merge());
        QCOMPARE(b.rows().size(), 3);
        QCOMPARE(a.rows(), b.rows());
        for (const char* text : {"秘密の朝", "秘密の夜", "秘密の昼"})
            QVERIFY2(!anywhere(folder, QString::fromUtf8(text)), text);
    }

    void anotherPassphraseMergesNothingUntilTheRightOne() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("shared"));
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(elsewhere));
        Computer a(dir, 'a'), c(dir, 'c'), d(dir, 'd');
        const auto key = sealerFor(folder, QStringLiteral("hinoki"));
        QVERIFY(key);
        a.save(kDay, QStringLiteral("aの日"));
        QVERIFY(a.session(folder, key.get())->merge());

        auto wrong = vault::openFolderSeal(folder, vault::Secret::fromText(QStringLiteral("sugi")));
        QVERIFY(!wrong);
        QCOMPARE(wrong.message(), vault::kOtherFolderPassphrase);

        // Without the key: nothing merged, nothing written there, her saves go on.
        c.save(kDay.addDays(5), QStringLiteral("cの日"));
        {
            auto sc = c.session(folder, nullptr);
            const MergeReport report = sc->merge().value();
            QVERIFY(report.daysTaken.empty());
            QCOMPARE(report.problems.size(), 1);
            QVERIFY2(report.problems.front().contains(QStringLiteral("暗号化されています")),
                     qPrintable(report.problems.front()));
            QVERIFY(!sc->flush());
        }
        QCOMPARE(c.rows().size(), 1);
        QVERIFY(!QFileInfo::exists(Folder(folder).journalOf(c.id)));

        // A journal sealed with a key this folder's salt does not make, appended to twice.
        const auto stranger = sealerFor(elsewhere, QStringLiteral("hinoki"));
        {
            auto sd = d.session(folder, stranger.get());
            d.save(kDay.addDays(9), QStringLiteral("dの日"));
            QVERIFY(sd->flush());
            d.save(kDay.addDays(10), QStringLiteral("dの次の日"));
            QVERIFY(sd->flush());
        }

        // The right passphrase: everything of a's taken, c's own day sent; d's journal told of and not read.
        const auto right = sealerFor(folder, QStringLiteral("hinoki"));
        QVERIFY(right);
        {
            auto sc = c.session(folder, right.get());
            const MergeReport report = sc->merge().value();
            QCOMPARE(report.daysTaken.size(), size_t(1));
            QVERIFY2(report.problems.join(u'|').contains(QStringLiteral("別のﾊﾟｽﾜｰﾄﾞ")),
                     qPrintable(report.problems.join(u'|')));
            QVERIFY(a.session(folder, key.get())->merge());
            QCOMPARE(a.rows(), c.rows());
            QCOMPARE(c.rows().size(), 2);
        }
        // d's journal, once its key is there, is read from its start.
        QVERIFY(c.session(folder, stranger.get())->merge());
        QCOMPARE(c.rows().size(), 4);
    }

    // Computers sealing one folder at the same moment all end with one salt; a damaged salt file is refused
    // and left as it is (the journals sealed with it would be lost with it).
    void theSaltIsMadeOnce() {
        QTemporaryDir dir;
        std::vector<std::unique_ptr<Sealer>> sealers(6);
        {
            std::vector<std::jthread> racing;
            racing.reserve(sealers.size());
            for (auto& sealer : sealers)
                racing.emplace_back([&] { sealer = sealerFor(dir.path(), QStringLiteral("hinoki")); });
        }
        for (const auto& sealer : sealers) QVERIFY(sealer);
        const ComputerId origin(16, 'x');
        const QByteArray sealed = sealers.front()->seal("body", origin);
        for (const auto& sealer : sealers)
            QCOMPARE(sealer->open(sealed, origin).value_or(""), QByteArray("body"));
        QVERIFY(!sealers.back()->open(sealed, ComputerId(16, 'y')));  // bound to the computer that sealed it

        const QString salt = dir.filePath(QStringLiteral("Selvane/salt"));
        QByteArray bytes = contents(salt);
        bytes[25] = char(bytes[25] ^ 1);
        writeFile(salt, bytes);
        auto damaged = vault::openFolderSeal(dir.path(), vault::Secret::fromText(QStringLiteral("hinoki")));
        QVERIFY2(damaged.message().contains(QStringLiteral("壊れています")), qPrintable(damaged.message()));
        QCOMPARE(contents(salt), bytes);
    }
};

QTEST_GUILESS_MAIN(TestFolderSeal)
#include "test_folderseal.moc"
