// The CSV dialect, the encodings a spreadsheet saves, and the two mappings of a day to a row.
#include "transfer/Csv.h"
#include "transfer/DiaryCsv.h"
#include "transfer/DripCsv.h"
#include "transfer/DripDay.h"
#include "transfer/ImportCheck.h"
#include "transfer/TextDecoding.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(StoredRow)

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
            selvane, row("2024-02-29", 36.72, "頭痛", "ﾛｷｿﾆﾝ", "通院", "雨,\"傘\"\n帰宅", true, false));
        transfer::appendCsvRow(selvane, row("2024-03-01", {}, {}, "", {}, {}, {}, {}));
        QCOMPARE(
            selvane,
            QByteArray("\xEF\xBB\xBF"
                       "date,temperature,condition,medication,schedule,diary,menstruation,intercourse\r\n"
                       "2024-02-29,36.72,頭痛,ﾛｷｿﾆﾝ,通院,\"雨,\"\"傘\"\"\n帰宅\",1,0\r\n"
                       "2024-03-01,,,,,,,\r\n"));
        QByteArray drip = transfer::csvStart(transfer::CsvFormat::Drip);
        const QDate today(2024, 3, 1);
        for (const StoredRow& day : {row("2024-02-29", 36.5, "頭痛", "", "", "雨", true, true),
                                     row("2024-03-01", {}, "", "", "", "晴れ", false, {})})
            transfer::appendDripRow(
                drip, transfer::dripLine(day, QDate::fromString(day.date, Qt::ISODate), today).cells);
        QCOMPARE(drip,
                 QByteArray("date,temperature.value,temperature.exclude,temperature.note,bleeding.value,"
                            "bleeding.exclude,sex.partner,sex.note,pain.note,mood.note,note.value\n"
                            "2024-02-29,36.5,false,,2,false,true,,,,\"体調：頭痛\n薬：\n予定：\n\n雨\"\n"
                            "2024-03-01,,,,,,,,,,晴れ\n"));
    }

    // What drip takes of a day: a day after today its note only, a reading only when it is plausible, no
    // line for a day it would keep nothing of, and its other notes back in their columns.
    void dripLines_data() {
        QTest::addColumn<StoredRow>("day");
        QTest::addColumn<QStringList>("cells");  // empty: no line
        QTest::addColumn<bool>("futureMarks");
        QTest::addColumn<bool>("implausible");
        const QString notes = QStringLiteral("日記\n\n―― drip ――\n体温のﾒﾓ：寝坊\n気分のﾒﾓ：眠い");
        QTest::newRow("a check-up planned, with the average temperature")
            << row("2024-03-09", 36.5, "", "", "通院", "", {}, {})
            << QStringList{"2024-03-09", "", "", "", "", "", "", "", "", "", "体調：\n薬：\n予定：通院"}
            << true << false;
        QTest::newRow("a day after today with nothing but marks")
            << row("2024-03-09", 36.5, "", "", "", "", true, true) << QStringList{} << true << false;
        QTest::newRow("a reading of 0")
            << row("2024-03-01", 0.0, "", "", "", "", true, {})
            << QStringList{"2024-03-01", "", "", "", "2", "false", "", "", "", "", ""} << false << true;
        QTest::newRow("a reading of 97.7 and nothing else")
            << row("2024-03-01", 97.7, {}, {}, {}, {}, false, false) << QStringList{} << false << true;
        QTest::newRow("an empty day")
            << row("2024-03-01", {}, "", {}, "", "", false, {}) << QStringList{} << false << false;
        QTest::newRow("drip's notes back in their columns")
            << row("2024-03-01", 36.55, "", "", "", notes, {}, {})
            << QStringList{"2024-03-01", "36.55", "false", "寝坊", "", "", "", "", "", "眠い", "日記"}
            << false << false;
        QTest::newRow("a temperature's note without a reading stays in the note")
            << row("2024-03-01", {}, "", "", "", notes, {}, {})
            << QStringList{"2024-03-01", "", "", "", "", "", "", "", "", "", notes} << false << false;
        QTest::newRow("drip's notes of a day after today stay in the note")
            << row("2024-03-09", {}, "", "", "", notes, {}, {})
            << QStringList{"2024-03-09", "", "", "", "", "", "", "", "", "", notes} << false << false;
    }
    void dripLines() {
        QFETCH(StoredRow, day);
        QFETCH(QStringList, cells);
        QFETCH(bool, futureMarks);
        QFETCH(bool, implausible);
        const transfer::DripLine line =
            transfer::dripLine(day, QDate::fromString(day.date, Qt::ISODate), QDate(2024, 3, 1));
        QCOMPARE(line.cells, cells);
        QCOMPARE(line.futureMarks, futureMarks);
        QCOMPARE(line.implausible, implausible);
    }

    // drip's parser, by its own rules: a line cut at every comma and put together again.
    void dripReader_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("doubled quotes in an unquoted text stay") << "a,\"\"quoted\"\" start\n"
                                                                 << QStringList{"a|\"\"quoted\"\" start@1"};
        QTest::newRow("a text in quotes: three quotes open one")
            << "\"\"\"hi\"\" there.\",\"x,y\"" << QStringList{"\"hi\" there.|x,y@1"};
        QTest::newRow("pieces outside quotes are trimmed") << " a ,\t\u3000b\u3000" << QStringList{"a|b@1"};
        QTest::newRow("a pair of quotes is an empty cell") << "\"\",x" << QStringList{"|x@1"};
        QTest::newRow("a quote that opens mid-text is no quote") << "x\"y,\"z\"" << QStringList{"x\"y|z@1"};
        QTest::newRow("a line break in quotes joins the next line")
            << "\"1\n2 \",z\nnext" << QStringList{"1\n2 |z@1", "next@3"};
        QTest::newRow("a quote closed after a comma loses the space at its end")
            << "\"a, b \",c" << QStringList{"a, b|c@1"};
        QTest::newRow("the first line break decides the line end")
            << "a\r\nb\rc\n\r\nd" << QStringList{"a@1", "b\rc@2", "d@3"};
        QTest::newRow("a quote never closed names its line")
            << "a\n\"open,\nb" << QStringList{"a@1", "error@2"};
    }
    void dripReader() {
        QFETCH(QString, text);
        QFETCH(QStringList, records);
        transfer::DripCsvReader reader(text);
        transfer::CsvRecord record;
        QStringList out;
        while (reader.next(&record))
            out.append(record.fields.join(u'|') + QStringLiteral("@%1").arg(record.line));
        if (!reader.error().isEmpty()) out.append(QStringLiteral("error@%1").arg(reader.errorLine()));
        QCOMPARE(out, records);
    }

    // What the drip export writes, drip's parser reads as it was: quotes, the spaces it would trim, a
    // byte-order mark at a text's start; only a text with a comma loses the white space at its end.
    void dripFieldsReadBack() {
        const QStringList texts = {"\"Quoted\" start",
                                   "  lead",
                                   "trail\u3000",
                                   QStringLiteral("\uFEFFmark"),
                                   "a,b",
                                   "\"",
                                   "\"\"",
                                   "line\nbreak\n",
                                   "x\r",
                                   "=1,\"2\"",
                                   "",
                                   "a, b \n"};
        QByteArray line;
        for (const QString& text : texts) {
            if (!line.isEmpty()) line += ',';
            transfer::appendDripField(line, text);
        }
        const QString text = QString::fromUtf8("h\n" + line + "\nnext");  // the reader views it
        transfer::DripCsvReader reader(text);
        transfer::CsvRecord record;
        QVERIFY(reader.next(&record));
        QVERIFY(reader.next(&record));
        QStringList expected = texts;
        expected.last() = "a, b";
        QCOMPARE(record.fields, expected);
        QVERIFY(reader.next(&record));
        QCOMPARE(record.fields, QStringList{"next"});
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

    // A file as drip writes it: every column, newest first, texts lower-cased, quotes doubled without quoting
    // the text, quotes around a text with a point or a semicolon, LF and no final line end.
    void importsAFileAsDripWritesIt() {
        // A line of the given cells, the other columns empty, or (filled) each mark set and each number 1.
        const auto line = [](const QHash<QString, QString>& cells, bool filled) {
            QStringList out;
            for (const QString& column : transfer::dripKnownColumns()) {
                const bool flag = column.endsWith(u".exclude") || column == u"isCycleStart";
                const bool mark =
                    column.startsWith(u"sex.") || column.startsWith(u"pain.") || column.startsWith(u"mood.");
                out << cells.value(column, !filled ? QString()
                                           : flag  ? QStringLiteral("false")
                                           : mark  ? QStringLiteral("true")
                                                   : QStringLiteral("1"));
            }
            return out.join(u',').toUtf8();
        };
        const QByteArray file =
            transfer::dripKnownColumns().join(u',').toUtf8() + '\n' +
            line({{"date", "2024-03-03"},
                  {"temperature.value", "36.55"},
                  {"temperature.time", "07:15"},
                  {"temperature.note", "slept badly"},
                  {"note.value", "\"\"quoted\"\" start"},
                  {"sex.note", "\"with m.\""},
                  {"pain.note", "\"headache; mild\""},
                  {"mood.note", "tired"}},
                 true) +
            '\n' + line({{"date", "2024-03-02"}, {"mucus.value", "2"}, {"mucus.exclude", "false"}}, false) +
            '\n' +
            line({{"date", "2024-03-01"},
                  {"temperature.value", "36.4"},
                  {"temperature.exclude", "true"},
                  {"note.value", "\"体調：頭痛\n薬：\n予定：\""}},
                 false);
        const Result<transfer::ImportFile> result = transfer::checkImport(file);
        QVERIFY2(result, qPrintable(result.message()));
        QCOMPARE(result->days.size(), size_t(2));
        QCOMPARE(result->nothingKept, 1);
        QCOMPARE(transfer::importNotes(result.value()),
                 QStringList{"Selvane に残すもののない drip の日（読み込みません）：1日"});
        const DayRecord& full = result->days[0];
        QCOMPARE(full.date, QDate(2024, 3, 3));
        QCOMPARE(full.temp, std::optional<double>(36.55));
        QVERIFY(full.guest && full.love);
        QCOMPARE(full.diary, QStringLiteral("\"\"quoted\"\" start\n\n―― drip ――\n体温のﾒﾓ：slept badly\n"
                                            "性交のﾒﾓ：with m.\n痛みのﾒﾓ：headache; mild\n気分のﾒﾓ：tired"));
        const DayRecord& labelled = result->days[1];
        QCOMPARE(labelled.condition, QStringLiteral("頭痛"));
        QCOMPARE(labelled.diary, QString());
        // A reading drip excludes is her disturbed reading, and goes back to drip as excluded.
        QVERIFY(result->marks);
        QVERIFY(labelled.excluded && !full.excluded);
        StoredRow marked = row("2024-03-01", 36.4, "", "", "", "", {}, {});
        marked.excluded = true;
        QCOMPARE(transfer::dripLine(marked, labelled.date, labelled.date).cells.mid(1, 2),
                 (QStringList{"36.4", "true"}));
        // Back to drip, each note goes to its own column and the note is the one drip had.
        StoredRow back = row("2024-03-03", 36.55, "", "", "", full.diary, true, true);
        QCOMPARE(transfer::dripLine(back, full.date, full.date).cells,
                 (QStringList{"2024-03-03", "36.55", "false", "slept badly", "2", "false", "true", "with m.",
                              "headache; mild", "tired", "\"\"quoted\"\" start"}));
    }

    void dripNotesRoundTrip_data() {
        QTest::addColumn<QString>("diary");
        QTest::addColumn<QStringList>("notes");  // temperature, sex, pain, mood
        QTest::newRow("one note, no diary") << "" << QStringList{"", "", "", "ok"};
        QTest::newRow("every note, over lines") << "雨\n" << QStringList{"a\nb", "\n", "c", "d\n\n"};
        QTest::newRow("a diary with a section of its own")
            << "x\n\n―― drip ――\n体温のﾒﾓ：y" << QStringList{"z", "", "", ""};
    }
    void dripNotesRoundTrip() {
        QFETCH(QString, diary);
        QFETCH(QStringList, notes);
        const QString joined = transfer::withDripNotes(diary, {notes[0], notes[1], notes[2], notes[3]});
        const transfer::DiaryAndNotes taken = transfer::takeDripNotes(joined);
        QCOMPARE(taken.diary, diary);
        QCOMPARE((QStringList{taken.notes.temperature, taken.notes.sex, taken.notes.pain, taken.notes.mood}),
                 notes);
    }

    // A diary whose end only looks like drip's notes stays whole, so that it comes back as it was.
    void aDiaryNotWrittenAsDripNotesStaysWhole() {
        for (const QString& diary :
             {QStringLiteral("―― drip ――"), QStringLiteral("―― drip ――\n日記"),
              QStringLiteral("x\n―― drip ――\n気分のﾒﾓ：a"), QStringLiteral("―― drip ――\n気分のﾒﾓ：")}) {
            const transfer::DiaryAndNotes taken = transfer::takeDripNotes(diary);
            QCOMPARE(taken.diary, diary);
            QVERIFY(taken.notes.isEmpty());
        }
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
        QTest::newRow("a diary that reads as the labelled lines") << ""
                                                                  << ""
                                                                  << ""
                                                                  << "体調：良好\n薬：\n予定：";
        QTest::newRow("the same, with a diary after them") << ""
                                                           << ""
                                                           << ""
                                                           << "体調：\n薬：\n予定：\n\n日記";
        QTest::newRow("labelled lines below the fields") << "頭痛"
                                                         << ""
                                                         << ""
                                                         << "体調：\n薬：\n予定：";
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
