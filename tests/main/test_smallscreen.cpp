// On a screen too small for a window's designed size (offscreen's 800 x 800 at a scale factor of 2: 400 x
// 400), the window fits the screen and every control can be scrolled to, each at its designed place.
#include "graph/frmDisp.h"
#include "help/HelpViewer.h"
#include "list/frmView.h"
#include "platform/core/Twips.h"
#include "support/MainBed.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <functional>

class TestSmallScreen : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void everyWindowFitsAndScrollsToEachControl_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << "frmMain";
        QTest::newRow("list") << "frmView";
        QTest::newRow("graph") << "frmDisp";
        QTest::newRow("help") << "HelpViewer";
    }
    void everyWindowFitsAndScrollsToEachControl() {
        QFETCH(QString, window);
        MainBed bed(QDate(2001, 5, 20));
        frmMain* main = bed.startMain();
        frmView list(bed.module, bed.services);
        frmDisp graph(list, bed.module, bed.services);
        HelpViewer help;
        // Each window with the control farthest down and right in it, and where its design places that.
        const std::map<QString, std::tuple<QWidget*, QWidget*, QRect>> windows = {
            {"frmMain", {main, main->findChild<QLabel*>("panel5"), {}}},
            {"frmView", {&list, list.cmdClose, twips::rect(8400, 6480, 1815, 375)}},
            {"frmDisp", {&graph, graph.CMD_CLOSE, twips::rect(9360, 6960, 1695, 375)}},
            {"HelpViewer", {&help, nullptr, {}}},
        };
        const auto [shown, farthest, designed] = windows.at(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QRect screen = shown->screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(400, 400));
        QVERIFY2(screen.contains(shown->frameGeometry()), qPrintable(window));
        if (!farthest) return;
        if (!designed.isNull()) QCOMPARE(farthest->geometry(), designed);
        auto* scroll = shown->findChild<QScrollArea*>("screenFit");
        QVERIFY(scroll);
        scroll->ensureWidgetVisible(farthest);
        QVERIFY(!farthest->visibleRegion().isEmpty());
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_smallscreen.moc"
