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
#include <memory>

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
        // Each window with the control farthest down and right in it, and where its design places that.
        QWidget* shown = main;
        QWidget* farthest = main->findChild<QLabel*>("panel5");
        QRect designed;
        std::unique_ptr<frmView> list;
        std::unique_ptr<QWidget> over;  // the graph (over the list) or the help
        if (window == "frmView" || window == "frmDisp") {
            list = std::make_unique<frmView>(bed.module, bed.services);
            shown = list.get();
            farthest = list->cmdClose;
            designed = twips::rect(8400, 6480, 1815, 375);
        }
        if (window == "frmDisp") {
            auto* graph = new frmDisp(*list, bed.module, bed.services);
            over.reset(graph);
            shown = graph;
            farthest = graph->CMD_CLOSE;
            designed = twips::rect(9360, 6960, 1695, 375);
        }
        if (window == "HelpViewer") {
            over = std::make_unique<HelpViewer>();
            shown = over.get();
            farthest = nullptr;
        }
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
