#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

#include <QTest>

class TestJaText : public QObject {
    Q_OBJECT

  private slots:
    void wholeNumberRoundsHalvesToEven_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("28.5 down") << "28.5" << 28;
        QTest::newRow("29.5 up") << "29.5" << 30;
        QTest::newRow("9.5 up") << "9.5" << 10;
        QTest::newRow("60.5 down") << "60.5" << 60;
        QTest::newRow("30.4") << "30.4" << 30;
        QTest::newRow("spaces and sign") << "  +28 " << 28;
        QTest::newRow("negative half") << "-2.5" << -2;
        QTest::newRow("full-width") << "２９．５" << 30;
        QTest::newRow("16-bit top") << "32767.4" << 32767;
        QTest::newRow("16-bit bottom") << "-32768" << -32768;
        QTest::newRow("plain digits") << "2001" << 2001;
        QTest::newRow("leading zeros") << "0007" << 7;
        QTest::newRow("point last") << "28." << 28;
        QTest::newRow("point first") << " -.5 " << 0;
        QTest::newRow("one line end") << "28 \n" << 28;
    }
    void wholeNumberRoundsHalvesToEven() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(jatext::readWholeNumber(text)), expected);
    }

    void wholeNumberFailures_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("letters") << "abc" << int(PgError::TypeMismatch);
        QTest::newRow("empty") << "" << int(PgError::TypeMismatch);
        QTest::newRow("two points") << "1.2.3" << int(PgError::TypeMismatch);
        QTest::newRow("exponent") << "1e3" << int(PgError::TypeMismatch);
        QTest::newRow("inner space") << "2 8" << int(PgError::TypeMismatch);
        QTest::newRow("overflow up") << "32767.5" << int(PgError::Overflow);
        QTest::newRow("overflow down") << "-32769" << int(PgError::Overflow);
        QTest::newRow("huge") << "99999999999999999999" << int(PgError::Overflow);
        QTest::newRow("nine plain digits") << "123456789" << int(PgError::Overflow);
        QTest::newRow("point alone") << " . " << int(PgError::TypeMismatch);
        QTest::newRow("sign alone") << "-" << int(PgError::TypeMismatch);
        QTest::newRow("two signs") << "+-1" << int(PgError::TypeMismatch);
        QTest::newRow("two line ends") << "28\n\n" << int(PgError::TypeMismatch);
        QTest::newRow("line end first") << "\n28" << int(PgError::TypeMismatch);
        QTest::newRow("tab") << "\t28" << int(PgError::TypeMismatch);
        QTest::newRow("arabic-indic digit") << "٣" << int(PgError::TypeMismatch);
    }
    void wholeNumberFailures() {
        QFETCH(QString, text);
        QFETCH(int, number);
        try {
            jatext::readWholeNumber(text);
            QFAIL("no error raised");
        } catch (const PgError& error) {
            QCOMPARE(error.number(), number);
        }
    }

    void shortestTextOfSingles() {
        QCOMPARE(jatext::shortestText(36.5f), QStringLiteral("36.5"));
        QCOMPARE(jatext::shortestText(37.0f), QStringLiteral("37"));
        QCOMPARE(jatext::shortestText(36.7f), QStringLiteral("36.7"));
        QCOMPARE(jatext::shortestText(jatext::readSingle(QStringLiteral("36.50"))), QStringLiteral("36.5"));
        QCOMPARE(jatext::shortestText(36.72f), QStringLiteral("36.72"));
    }

    void dateTextsAreJapaneseWhateverTheLocale() {
        const QDate day(2001, 3, 29);
        QCOMPARE(jatext::kanjiDateWithWeekday(day), QStringLiteral("2001年03月29日 木曜日"));
        QCOMPARE(jatext::kanjiDate(QDate(2001, 5, 2)), QStringLiteral("2001年05月02日"));
        QCOMPARE(jatext::slashDate(QDate(2001, 5, 2)), QStringLiteral("2001/05/02"));
        QCOMPARE(jatext::compactDate(QDate(2001, 3, 15)), QStringLiteral("20010315"));
        const QStringList week = {"日", "月", "火", "水", "木", "金", "土"};
        for (int i = 0; i < 7; ++i)  // 2001-12-02 was a Sunday
            QCOMPARE(jatext::weekdayShort(QDate(2001, 12, 2).addDays(i)), week[i]);
    }

    // The data file's dates are read as the general parser reads them, whatever the text holds.
    void isoDatesReadLikeTheGeneralParser_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const char* text : {"2001-05-02", "0001-01-01", "9999-12-31", "2000-02-29"})
            QTest::newRow(text) << QString(text) << true;
        for (const char* text : {"1900-02-29", "2001-02-30", "2001-13-01", "2001-00-10", "0000-01-01",
                                 "2001-5-02", "2001/05/02", " 2001-05-02", "2001-05-02x", "20010502", "",
                                 "２００１-05-02", "-001-05-02", "+001-05-02", "2001-+5-02"})
            QTest::newRow(text) << QString::fromUtf8(text) << false;
    }
    void isoDatesReadLikeTheGeneralParser() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const QDate day = jatext::readIsoDate(text);
        QCOMPARE(day, QDate::fromString(text, QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(day.isValid(), valid);
        if (valid) QCOMPARE(day.toString(Qt::ISODate), text);
    }

    void narrowTurnsFullWidthIntoAscii() {
        QCOMPARE(jatext::narrow(QStringLiteral("３６．５０")), QStringLiteral("36.50"));
        QCOMPARE(jatext::narrow(QStringLiteral("ｱ日")), QStringLiteral("ｱ日"));  // half-width kana stays
    }

    void oneSeparatorBetweenFolderAndFile() {
        QCOMPARE(paths::inFolder(QStringLiteral("/opt/selvane"), QStringLiteral("selvane.mdb")),
                 QStringLiteral("/opt/selvane/selvane.mdb"));
        QCOMPARE(paths::inFolder(QStringLiteral("/"), QStringLiteral("selvane.mdb")),
                 QStringLiteral("/selvane.mdb"));
        QCOMPARE(paths::inFolder(QStringLiteral("C:\\"), QStringLiteral("x")), QStringLiteral("C:\\x"));
    }

    void standardTextsByNumber() {
        QCOMPARE(PgError(PgError::TypeMismatch, "x").standardText(), QStringLiteral("型が一致しません。"));
        QCOMPARE(PgError::engine("disk I/O error").standardText(),
                 QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。"));
    }

    // SQLite's and the system's English texts: a Japanese sentence first, the original kept after it; a text
    // that is already Japanese is left as it is, so a message that passes two layers is explained once.
    void englishTextsGetAJapaneseSentence_data() {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("shown");
        QTest::newRow("full disk") << "database or disk is full"
                                   << "ﾃﾞｨｽｸがいっぱいです。（database or disk is full）";
        QTest::newRow("read-only, inside Qt's text")
            << "attempt to write a readonly database Unable to fetch row"
            << "ﾃﾞｰﾀﾌｧｲﾙが読み取り専用のため書き込めません。（attempt to write a readonly database Unable to "
               "fetch row）";
        QTest::newRow("the system's") << "Operation not permitted"
                                      << "その操作は許されていません。（Operation not permitted）";
        QTest::newRow("unknown") << "weird thing"
                                 << "ｼｽﾃﾑがｴﾗｰを知らせました。（weird thing）";
        QTest::newRow("already Japanese") << "ﾃﾞｨｽｸがいっぱいです。（x）"
                                          << "ﾃﾞｨｽｸがいっぱいです。（x）";
        QTest::newRow("none") << ""
                              << "";
    }
    void englishTextsGetAJapaneseSentence() {
        QFETCH(QString, original);
        QFETCH(QString, shown);
        QCOMPARE(systemtext::inJapanese(original), shown);
        QCOMPARE(systemtext::inJapanese(shown), shown);
        if (!original.isEmpty()) QCOMPARE(PgError::engine(original).description(), shown);
    }
};

QTEST_GUILESS_MAIN(TestJaText)
#include "test_jatext.moc"
