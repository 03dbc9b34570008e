// The CSV dialect, the encodings a spreadsheet saves, and the two mappings of a day to a row.
#include "transfer/Csv.h"
#include "transfer/DiaryCsv.h"
#include "transfer/ImportCheck.h"
#include "transfer/TextDecoding.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// The records of a text as "a|b|c" lines, or "error@LINE".
QStringList readAll(const QString& text) {
    transfer::CsvReader reader(text);
    transfer::CsvRecord record;
    QStringList out;
    while (reader.next(&record))
        out.append(record.fields.join(u'|') + QStringLiteral("@%1").arg(record.line));
    if (!reader.error().isEmpty()) out.append(QStringLiteral("error@%1").arg(reader.errorLine()));
    return out;
}

StoredRow row(const QString& date, std::optional<double> temp, const QString& condition, const QString& memo,
              const QString& schedule, const QString& diary, std::optional<bool> guest,
              std::optional<bool> love) {
    StoredRow r;
    r.date = date;
    r.temp = temp;
    r.condition = condition;
    r.memo = memo;
    r.schedule = schedule;
    r.diary = diary;
    r.guest = guest;
    r.love = love;
    return r;
}

}  // namespace

class TestCsv : public QObject {
    Q_OBJECT

  private slots:
    void reader_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("plain, LF") << "a,b\nc,d\n" << QStringList{"a|b@1", "c|d@2"};
        QTest::newRow("CRLF and CR ends") << "a,b\r\nc,d\re,f" << QStringList{"a|b@1", "c|d@2", "e|f@3"};
        QTest::newRow("empty fields") << ",,\n" << QStringList{"||@1"};
        QTest::newRow("quoted comma and quote") << "\"x,y\",\"say \"\"hi\"\"\"\n"
                                                << QStringList{"x,y|say \"hi\"@1"};
        QTest::newRow("line breaks inside quotes count as lines")
            << "\"1\n2\r\n3\r4\",z\nnext,row\n"
            << QStringList{"1\n2\r\n3\r4|z@1", "next|row@5"};
        QTest::newRow("blank lines passed over") << "a\n\n\nb\n" << QStringList{"a@1", "b@4"};
        QTest::newRow("quote inside an unquoted field is kept") << "say \"\"hi\"\"\n"
                                                                << QStringList{"say \"\"hi\"\"@1"};
        QTest::newRow("unclosed quote names its line") << "a\n\"open,\nb\n" << QStringList{"a@1", "error@2"};
        QTest::newRow("text after a closing quote") << "a\n\"x\"y,z\n" << QStringList{"a@1", "error@2"};
    }
    void reader() {
        QFETCH(QString, text);
        QFETCH(QStringList, records);
        QCOMPARE(readAll(text), records);
    }

    void writerQuotesOnlyWhatNeedsIt() {
        QByteArray out;
        for (const QString field : {"plain", "a,b", "q\"q", "l\nb", "日記", ""}) {
            transfer::appendCsvField(out, field);
            out += '|';
        }
        QCOMPARE(QString::fromUtf8(out), QStringLiteral("plain|\"a,b\"|\"q\"\"q\"|\"l\nb\"|日記||"));
    }

    void decoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");  // empty: refused
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("badLine");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF日記") << "日記"
                                         << "UTF-8" << 0;
        QTest::newRow("UTF-8 without mark") << QByteArray("日記🌸") << "日記🌸"
                                            << "UTF-8" << 0;
        QTest::newRow("Shift_JIS, NEC and backslash")
            << QByteArray("\x93\xfa\x8b\x4c\x87\x40\x5c\x81\x60") << "日記①\\～"
            << "Shift_JIS" << 0;
        QTest::newRow("UTF-8 with a bad byte on line 3") << QByteArray("a\n日記\n\xff日記\n") << ""
                                                         << "" << 3;
        QTest::newRow("Shift_JIS cut off on line 2") << QByteArray("\x93\xfa\n\x93") << ""
                                                     << "" << 2;
        QTest::newRow("a NUL in a text")
            << QByteArray("a\nb\0c", 5) << QString::fromUtf8("a\nb\0c", 5) << "UTF-8" << 0;
        QTest::newRow("a NUL in the header line") << QByteArray("a\0b\nc", 5) << ""
                                                  << "" << 1;
        QTest::newRow("UTF-16") << QByteArray(
                                       "\xFF\xFE"
                                       "a\0",
                                       4)
                                << ""
                                << "" << 1;
    }
    void decoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(int, badLine);
        const transfer::DecodedText result = transfer::decodeText(bytes);
        QCOMPARE(result.ok, !text.isEmpty());
        QCOMPARE(result.text, text);
        QCOMPARE(result.encoding, encoding);
        QCOMPARE(result.badLine, badLine);
    }

    // Rows exactly as written: Null as an empty cell, the temperature as short as reads back the same.
    void exportRows() {
        QByteArray selvane = transfer::csvStart(transfer::CsvFormat::Selvane);
        transfer::appendCsvRow(
            selvane, transfer::CsvFormat::Selvane,
            row("2024-02-29", 36.72, "頭痛", "ﾛｷｿﾆﾝ", "通院", "雨,\"傘\"\n帰宅", true, false));
        transfer::appendCsvRow(selvane, transfer::CsvFormat::Selvane,
                               row("2024-03-01", {}, {}, "", {}, {}, {}, {}));
        QCOMPARE(
            selvane,
            QByteArray("\xEF\xBB\xBF"
                       "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n"
                       "2024-02-29,36.72,頭痛,ﾛｷｿﾆﾝ,通院,\"雨,\"\"傘\"\"\n帰宅\",1,0\r\n"
                       "2024-03-01,,,,,,,\r\n"));
        QByteArray drip = transfer::csvStart(transfer::CsvFormat::Drip);
        transfer::appendCsvRow(drip, transfer::CsvFormat::Drip,
                               row("2024-02-29", 36.5, "頭痛", "", "", "雨", true, true));
        transfer::appendCsvRow(drip, transfer::CsvFormat::Drip,
                               row("2024-03-01", {}, "", "", "", "晴れ", false, {}));
        QCOMPARE(drip,
                 QByteArray("date,temperature.value,temperature.exclude,bleeding.value,bleeding.exclude,"
                            "sex.partner,note.value\n"
                            "2024-02-29,36.5,false,2,false,true,\"体調：頭痛\n薬：\n予定：\n\n雨\"\n"
                            "2024-03-01,,,,,,晴れ\n"));
    }

    // drip's own export: every column, lower-cased notes, quotes only around some texts, no final line end.
    void importsDripsOwnExport() {
        const QByteArray file =
            "date,temperature.value,temperature.exclude,temperature.time,isCycleStart,bleeding.value,"
            "bleeding.exclude,sex.solo,sex.partner,note.value,mood.happy\n"
            "2018-09-02,36.55,false,07:30,true,0,false,,,\"walked. \"\"tired\"\"\",true\n"
            "2018-09-03,36.6,true,,false,3,true,true,false,,\n"
            "2018-09-04,,,,false,,,,TRUE,\"体調：良好\n薬：ﾋﾟﾙ\n予定：\",";
        const Result<transfer::ImportFile> result = transfer::checkImport(file);
        QVERIFY2(result, qPrintable(result.message()));
        QCOMPARE(result->format, transfer::CsvFormat::Drip);
        QCOMPARE(result->days.size(), size_t(3));
        const DayRecord& spotting = result->days[0];
        QCOMPARE(spotting.temp, std::optional<double>(36.55));
        QVERIFY(spotting.guest);  // drip counts spotting it does not exclude as a period day
        QVERIFY(!spotting.love);
        QCOMPARE(spotting.diary, QStringLiteral("walked. \"tired\""));
        const DayRecord& excluded = result->days[1];
        QCOMPARE(excluded.temp, std::optional<double>(36.6));  // measured, though drip leaves it out
        QVERIFY(!excluded.guest);
        QVERIFY(!excluded.love);  // solo is not intercourse
        const DayRecord& noted = result->days[2];
        QVERIFY(!noted.temp);
        QVERIFY(noted.love);
        QCOMPARE(noted.condition, QStringLiteral("良好"));
        QCOMPARE(noted.memo, QStringLiteral("ﾋﾟﾙ"));
        QCOMPARE(noted.diary, QString());
    }

    void noteRoundTrip_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("medication");
        QTest::addColumn<QString>("schedule");
        QTest::addColumn<QString>("diary");
        QTest::newRow("diary only") << ""
                                    << ""
                                    << ""
                                    << "体調：と書き始めた日記\n薬：";
        QTest::newRow("all four") << "だるい"
                                  << "ﾋﾟﾙ"
                                  << "会議"
                                  << "一行目\r\n\n三行目";
        QTest::newRow("schedule only") << ""
                                       << ""
                                       << "通院"
                                       << "";
    }
    void noteRoundTrip() {
        QFETCH(QString, condition);
        QFETCH(QString, medication);
        QFETCH(QString, schedule);
        QFETCH(QString, diary);
        const transfer::NoteParts parts =
            transfer::splitNote(transfer::joinNote({condition, medication, schedule, diary}));
        QCOMPARE(parts.condition, condition);
        QCOMPARE(parts.medication, medication);
        QCOMPARE(parts.schedule, schedule);
        QCOMPARE(parts.diary, diary);
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "test_csv.moc"
