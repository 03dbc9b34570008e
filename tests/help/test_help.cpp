#include "help/frmAbout.h"
#include "platform/core/Twips.h"
#include "platform/ui/AppSetup.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

class TestHelp : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        appsetup::applyJapanese(*qApp);
        twips::setDpi(96);
    }

    void aboutLaysOutItsControlsInTwips() {
        QWidget owner;
        owner.setGeometry(100, 100, 800, 600);
        frmAbout about(&owner);
        QCOMPARE(about.size(), QSize(283, 127));  // 4245 x 1905 twips
        QCOMPARE(about.Picture1->geometry(), QRect(24, 8, 32, 32));
        QCOMPARE(about.Label1->geometry(), QRect(72, 16, 138, 27));
        QCOMPARE(about.Label3->geometry(), QRect(72, 64, 161, 17));
        QCOMPARE(about.cmdOK->geometry(), QRect(192, 96, 81, 25));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(about.Label1->font().pointSizeF(), 20.25);
        QCOMPARE(about.Label1->font().family(), QStringLiteral("Noto Sans CJK JP"));
        QVERIFY(about.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(about.windowFlags() & Qt::WindowMinimizeButtonHint);
        // The notice stays on its one line.
        QVERIFY(about.Label3->fontMetrics().horizontalAdvance(about.Label3->text()) <= about.Label3->width());
        QVERIFY(about.cmdOK->isDefault());
    }

    void aboutIsCentredOverItsOwnerAndOkClosesIt() {
        QWidget owner;
        owner.setGeometry(200, 150, 800, 600);
        owner.show();
        frmAbout about(&owner);
        about.setModal(true);
        about.show();
        QVERIFY(qAbs(about.geometry().center().x() - owner.geometry().center().x()) <= 2);
        QVERIFY(qAbs(about.geometry().center().y() - owner.geometry().center().y()) <= 2);
        QSignalSpy accepted(&about, &QDialog::accepted);
        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        QCOMPARE(accepted.size(), 1);
        QVERIFY(!about.isVisible());
    }

    // Every window and option beyond the main window's has its page, named by its menu item or caption, and
    // every link in the document leads somewhere.
    void theHelpCoversEveryWindowAndOption() {
        QFile file(QStringLiteral(SELVANE_HELP_DOCUMENT));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(file.readAll());
        QSet<QString> ids;
        for (const auto& match : QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(help))
            ids.insert(match.captured(1));
        for (const auto& match : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(help))
            QVERIFY2(ids.contains(match.captured(1)), qPrintable(match.captured(1)));
        for (const char* page : {"transfer", "drip", "backups", "cycles", "historycycle", "graphoptions",
                                 "chart", "passphrase", "sync", "commandline"})
            QVERIFY2(ids.contains(QString::fromLatin1(page)), page);
        for (const char* caption :
             {"全ﾃﾞｰﾀの書き出し(E)", "ﾃﾞｰﾀの読み込み(I)", "基礎体温表の印刷(T)", "周期の記録(S)",
              "ﾊﾞｯｸｱｯﾌﾟから戻す(B)", "記録から周期を計算(H)", "ﾊﾟｽﾜｰﾄﾞの設定(P)", "自動ﾛｯｸの設定(L)",
              "体温の変化を表示(S)", "月経日を表示(M)", "目盛りを自動(A)", "継続中の周期も入れる(R)",
              "--report"})
            QVERIFY2(help.contains(QString::fromUtf8(caption)), caption);
        // What is no longer so: putting a backup back by copying files by hand.
        QVERIFY(!help.contains(QStringLiteral("コピーしておいたファイルを selvane.mdb という名前で")));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
