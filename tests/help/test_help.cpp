#include "help/frmAbout.h"
#include "platform/core/Twips.h"
#include "platform/ui/AppSetup.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
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
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
