// On a screen too small for a window's designed size (offscreen's 800 x 800 at a scale factor of 2: 400 x
// 400), the window fits the screen and every control can be scrolled to, each at its designed place.
#include "graph/frmDisp.h"
#include "help/HelpViewer.h"
#include "list/frmView.h"
#include "platform/core/Twips.h"
#include "platform/ui/Dialogs.h"
#include "support/MainBed.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

    // The file dialogs open inside the screen with their button and their filter in reach.
    void fileDialogsFitTheScreen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("diary.csv"));
        QtDialogs dialogs;
        for (const bool choice : {false, true}) {
            QRect screen;
            QRect frame;
            QList<QRect> parts;  // the buttons and the filter, on the screen
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                screen = dialog->screen()->availableGeometry();
                frame = dialog->frameGeometry();
                for (QWidget* part : {static_cast<QWidget*>(dialog->findChild<QDialogButtonBox*>()),
                                      static_cast<QWidget*>(dialog->findChild<QComboBox*>("fileTypeCombo"))})
                    if (part && part->isVisible())
                        parts << QRect(part->mapToGlobal(QPoint(0, 0)), part->size());
                dialog->reject();
            });
            if (choice)
                (void)dialogs.chooseFile(nullptr,
                                         {QStringLiteral("書き出し"), {QStringLiteral("CSV (*.csv)")}, path});
            else
                (void)dialogs.saveFile(nullptr,
                                       {QStringLiteral("保存"), QStringLiteral("ﾃｷｽﾄ (*.txt)|*.txt"), path});
            QVERIFY2(screen.contains(frame), choice ? "chooseFile" : "saveFile");
            QCOMPARE(parts.size(), 2);
            for (const QRect& part : parts) QVERIFY(screen.contains(part));
        }
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_smallscreen.moc"
