// The graph: its points taken from the list's grid, the window, and its quick print.
#include "graph/GraphMarks.h"
#include "graph/GraphOptions.h"
#include "graph/GraphOverlay.h"
#include "graph/GraphPoints.h"
#include "graph/GraphScale.h"
#include "graph/frmDisp.h"
#include "list/frmView.h"
#include "platform/core/Twips.h"
#include "platform/ui/WindowPrinter.h"
#include "support/TestBed.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

using Temps = QMap<int, QString>;

// A grid of 180 days ending on last, temperatures given by row.
graph::CellText grid(const QDate& last, const QMap<int, QString>& temps) {
    return [=](int row, int col) -> QString {
        const QDate day = last.addDays(1 - row);
        switch (col) {
            case 0:
                return QString::number(day.year());
            case 1:
                return QString::number(day.month());
            case 2:
                return QString::number(day.day());
            case 4:
                return temps.value(row);
            default:
                return QString();
        }
    };
}

// Records what the window looked like when it was printed, and answers as told.
class RecordingPrinter : public WindowPrinter {
  public:
    explicit RecordingPrinter(bool succeed = true) : succeed_(succeed) {}
    const frmDisp* window = nullptr;
    Outcome print(const QImage& image, const QString&) override {
        images.append(image);
        heightsWhilePrinting.append(window->height());
        labelColoursWhilePrinting.append(window->Label1->palette().color(QPalette::Window));
        if (!succeed_) return {false, QStringLiteral("プリンタへの出力に失敗しました。")};
        return {true, {}};
    }
    QList<QImage> images;
    QList<int> heightsWhilePrinting;
    QList<QColor> labelColoursWhilePrinting;

  private:
    bool succeed_;
};

QColor background(const QWidget* widget) { return widget->palette().color(QPalette::Window); }

// The window as a user sees it on the screen after a print, whatever the print did.
void checkRestored(const frmDisp& window, int height) {
    QCOMPARE(window.height(), height);
    for (const QWidget* w : {static_cast<const QWidget*>(&window), static_cast<const QWidget*>(window.Label1),
                             static_cast<const QWidget*>(window.LABEL_BETWEEN),
                             static_cast<const QWidget*>(window.LABEL_DATE[0]),
                             static_cast<const QWidget*>(window.LABEL_DATE[1])})
        QCOMPARE(background(w), frmDisp::buttonFaceColour());
    QCOMPARE(background(window.Frame1), frmDisp::activeBorderColour());
}

// The part of an image that is not white.
QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 245) box |= QRect(x, y, 1, 1);
    return box;
}

// The value axis's labels as drawn on the chart (left of the plot area), top to bottom.
QStringList valueLabels(const frmDisp& window) {
    QChart* chart = window.G_CHART->chart();
    QList<QGraphicsTextItem*> found;
    for (QGraphicsItem* item : chart->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty()) continue;
        const QRectF at = text->mapRectToScene(text->boundingRect());
        if (at.right() <= chart->plotArea().left() + 1) found.append(text);
    }
    std::sort(found.begin(), found.end(), [](const QGraphicsTextItem* a, const QGraphicsTextItem* b) {
        return a->scenePos().y() < b->scenePos().y();
    });
    QStringList labels;
    for (const QGraphicsTextItem* text : found) labels.append(text->toPlainText());
    return labels;
}

struct GraphBed {
    explicit GraphBed(WindowPrinter* printer = nullptr) : bed(QDate(2001, 5, 20)) {
        bed.services.printer = printer;
        bed.sql(
            "INSERT INTO DATA_FIL VALUES ('2001-05-20', 36.7, '', '', '', '', 0, 0),"
            " ('2001-05-19', 0, '', '', '', '', 0, 0), ('2000-11-22', 37.25, '', '', '', '', 0, 1)");
        bed.module.Db = bed.openData();
        bed.module.SelectedDate = QDate(2001, 5, 20);
        bed.module.CycleDays = QStringLiteral("28");
        bed.module.AverageTemp = 36.4f;
        list = std::make_unique<frmView>(bed.module, bed.services);
        window = std::make_unique<frmDisp>(*list, bed.module, bed.services);
        window->show();
    }
    TestBed bed;
    std::unique_ptr<frmView> list;
    std::unique_ptr<frmDisp> window;
};

}  // namespace

class TestGraph : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { initTestApplication(); }

    void pointsFromTheGrid_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("value");
        QTest::newRow("empty day at the average") << 3 << ""
                                                  << "36.5";
        QTest::newRow("zero at the average") << 4 << "0"
                                             << "36.5";
        QTest::newRow("shortest text") << 5 << "36.70"
                                       << "36.7";
        QTest::newRow("two decimals kept") << 6 << "37.25"
                                           << "37.25";
        QTest::newRow("whole degrees") << 7 << "37.00"
                                       << "37";
    }
    void pointsFromTheGrid() {
        QFETCH(int, row);
        QFETCH(QString, temp);
        const auto graph = graph::fromGrid(grid(QDate(2001, 5, 7), {{row, temp}}), 36.5f);
        QCOMPARE(int(graph.points.size()), 180);
        const auto& point = graph.points[180 - row];
        QTEST(point.valueText, "value");
        QCOMPARE(point.value, point.valueText.toDouble());
        QCOMPARE(graph.points[180 - 1 - row].valueText, QStringLiteral("36.5"));
    }

    void titlesAndLabels_data() {
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("lastText");
        QTest::addColumn<QString>("label1");
        QTest::addColumn<QString>("label180");
        QTest::newRow("7 May") << QDate(2001, 5, 7) << "2000/11/9"
                               << "2001/5/7"
                               << "11/9"
                               << "5/7";
        QTest::newRow("across a new year") << QDate(2002, 2, 3) << "2001/8/8"
                                           << "2002/2/3"
                                           << "8/8"
                                           << "2/3";
    }
    void titlesAndLabels() {
        QFETCH(QDate, last);
        const auto graph = graph::fromGrid(grid(last, {}), 36.5f);
        QTEST(graph.firstDay, "first");
        QTEST(graph.lastDay, "lastText");
        QTEST(graph.points.front().label, "label1");
        QTEST(graph.points.back().label, "label180");
    }

    void windowDrawsTheListsDays() {
        GraphBed g;
        frmDisp hidden(*g.list, g.bed.module, g.bed.services);
        QVERIFY(hidden.G_CHART->isHidden());  // until its points are set
        frmDisp& w = *g.window;
        QVERIFY(g.bed.dialogs.calls.isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("ｸﾞﾗﾌ表示"));
        QCOMPARE(
            w.LABEL_DATE[0]->text() + w.LABEL_BETWEEN->text() + w.LABEL_DATE[1]->text() + w.Label1->text(),
            QStringLiteral("2000/11/22～2001/5/20の基礎体温グラフ"));
        QVERIFY(w.G_CHART->isVisible());
        auto* series = static_cast<QLineSeries*>(w.G_CHART->chart()->series().constFirst());
        QCOMPARE(series->count(), 180);
        QCOMPARE(series->at(0).y(), 37.25);
        QCOMPARE(series->at(179).y(), 36.7);
        QCOMPARE(series->at(178).y(), 36.4);
        QCOMPARE(w.graph().points[178].valueText, QStringLiteral("36.4"));
        // The time axis labels a readable subset: one day a week, the last day among them.
        auto* days = static_cast<QCategoryAxis*>(w.G_CHART->chart()->axes(Qt::Horizontal).constFirst());
        QCOMPARE(days->count(), 26);
        QCOMPARE(days->categoriesLabels().constLast(), QStringLiteral("5/20"));
        QCOMPARE(days->endValue(QStringLiteral("5/20")), 179.0);
        // The value axis is fixed.
        auto* degrees = static_cast<QValueAxis*>(w.G_CHART->chart()->axes(Qt::Vertical).constFirst());
        QCOMPARE(degrees->min(), 34.5);
        QCOMPARE(degrees->max(), 39.5);
    }

    void optionsAreOffUnlessRememberedOn() {
        TestBed bed;
        QCOMPARE(graph::read(nullptr).shift, false);
        // Anything but the stored "1" is off, garbage included.
        for (const char* garbage : {"", "yes", "2", "true", "１", "1x"}) {
            for (const char* section : {"GRAPH_SHIFT", "GRAPH_MENS", "GRAPH_AUTOSCALE"})
                bed.settings->save(QString::fromLatin1(section), settingkeys::kKey,
                                   QString::fromUtf8(garbage));
            const graph::Options read = graph::read(bed.settings.get());
            QVERIFY2(!read.shift && !read.menstruation && !read.autoScale, garbage);
        }
        {
            GraphBed g;
            QVERIFY(!g.window->chkShift->isChecked() && !g.window->chkMens->isChecked() &&
                    !g.window->chkAutoScale->isChecked());
            // The options sit in the buttons' row, left of them, and the window keeps its designed size.
            QCOMPARE(g.window->chkShift->y(), g.window->CMD_PRINT->y() + twips::toPixels(60));
            QVERIFY(g.window->chkAutoScale->geometry().right() < g.window->CMD_PRINT->x());
            QCOMPARE(g.window->size(), QSize(twips::toPixels(11265), twips::toPixels(7500)));
            g.window->chkMens->click();
            g.window->chkAutoScale->click();
            g.window->chkAutoScale->click();
            const graph::Options read = graph::read(g.bed.settings.get());
            QVERIFY(!read.shift && read.menstruation && !read.autoScale);
            // The next window opens as she left it.
            frmDisp again(*g.list, g.bed.module, g.bed.services);
            QVERIFY(again.chkMens->isChecked() && !again.chkShift->isChecked());
            QVERIFY(g.bed.dialogs.calls.isEmpty());
        }
    }

    void axisFitsHerReadingsInTenths_data() {
        QTest::addColumn<Temps>("temps");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("tick");
        const QMap<int, QString> none;
        QTest::newRow("no reading: the fixed axis") << none << 34.5 << 39.5 << 0.5;
        // Every row has a reading: the average is not drawn.
        QMap<int, QString> all;
        for (int row = 1; row <= 180; ++row) all[row] = row % 2 ? "36.25" : "36.70";
        QTest::newRow("a tenth to spare, one degree tall") << all << 36.0 << 37.0 << 0.1;
        QMap<int, QString> wide = all;
        wide[3] = "35.62";
        wide[4] = "37.41";
        QTest::newRow("wider than two degrees") << wide << 35.5 << 37.6 << 0.2;
        QMap<int, QString> slip = all;
        slip[5] = "365.00";
        QTest::newRow("an impossible reading is left out") << slip << 36.0 << 37.0 << 0.1;
        QTest::newRow("the average drawn for empty days")
            << QMap<int, QString>{{1, "37.90"}} << 36.4 << 38.0 << 0.1;
    }
    void axisFitsHerReadingsInTenths() {
        QFETCH(Temps, temps);
        const graph::ValueRange range = graph::fitted(graph::fromGrid(grid(QDate(2001, 5, 7), temps), 36.5f));
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, tick);
        QVERIFY2(
            qFuzzyCompare(range.min, min) && qFuzzyCompare(range.max, max) && qFuzzyCompare(range.tick, tick),
            qPrintable(QStringLiteral("%1-%2 by %3").arg(range.min).arg(range.max).arg(range.tick)));
    }

    void marksCutToTheDaysShown() {
        const QDate first(2001, 1, 1);  // the oldest day shown (point 0); the last shown is point 179
        graph::Graph graph = graph::fromGrid(grid(first.addDays(179), {{180 - 20, "36.80"}}), 36.5f);
        for (int i : {0, 1, 5, 6, 7, 179}) graph.points[size_t(i)].menstruation = true;
        const auto bands = graph::menstruationBands(graph);
        QCOMPARE(int(bands.size()), 3);
        QVERIFY(bands[0].first == 0 && bands[0].last == 1 && bands[1].first == 5 && bands[1].last == 7);
        QVERIFY(bands[2].first == 179 && bands[2].last == 179);

        history::Cycle begunBefore;  // its six readings lie before the days shown
        begunBefore.start = first.addDays(-10);
        begunBefore.length = 40;
        begunBefore.shiftDay = 31;  // point 20
        begunBefore.coverline = 36.45;
        begunBefore.coverlineFrom = first.addDays(-3);
        history::Cycle noShift;
        noShift.start = first.addDays(30);
        noShift.length = 28;
        history::Cycle running;  // its first higher reading after the last day shown: cut safely
        running.start = first.addDays(170);
        running.shiftDay = 20;
        running.coverline = 36.5;
        running.coverlineFrom = first.addDays(178);
        const auto lines = graph::coverlines({running, noShift, begunBefore}, first, graph);
        QCOMPARE(int(lines.size()), 2);
        QVERIFY(lines[0].first == 178 && lines[0].last == 179 && !lines[0].firstHigher);
        QVERIFY(lines[1].first == 0 && lines[1].last == 29 && lines[1].celsius == 36.45);
        QCOMPARE(lines[1].firstHigher, std::optional<int>(20));
        QCOMPARE(lines[1].firstHigherValue, 36.8);
    }

    // A period on 1-3 April, low readings, then a rise on 15 April: the window draws what she turned on.
    void windowDrawsTheOptionsSheTurnedOn() {
        TestBed bed(QDate(2001, 5, 20));
        for (QDate day(2001, 4, 1); day <= QDate(2001, 5, 20); day = day.addDays(1))
            saveDay(bed, day, day < QDate(2001, 4, 15) ? "36.30" : "36.70", day <= QDate(2001, 4, 3));
        for (const char* section : {"GRAPH_SHIFT", "GRAPH_MENS", "GRAPH_AUTOSCALE"})
            bed.settings->save(QString::fromLatin1(section), settingkeys::kKey, QStringLiteral("1"));
        bed.module.Db = bed.openData();
        bed.module.SelectedDate = QDate(2001, 5, 20);
        bed.module.CycleDays = QStringLiteral("28");
        bed.module.AverageTemp = 36.5f;
        // Marked readings drawn hollow where they lie on the curve; a mark outside the days shown is not.
        for (const QDate& day : {QDate(2001, 5, 10), QDate(2000, 1, 1)})
            bed.module.Db->setExcluded(day, true);
        frmView list(bed.module, bed.services);
        frmDisp w(list, bed.module, bed.services);
        w.show();
        QCOMPARE(w.shiftMarks().excluded(), std::vector<QPointF>{QPointF(169, 36.7)});
        QVERIFY(w.chkShift->isChecked() && w.chkMens->isChecked() && w.chkAutoScale->isChecked());
        const int april1 = int(QDate(2000, 11, 22).daysTo(QDate(2001, 4, 1)));
        QCOMPARE(int(w.shading().bands().size()), 1);
        QCOMPARE(w.shading().bands()[0].first, april1);
        QCOMPARE(w.shading().bands()[0].last, april1 + 2);
        QCOMPARE(int(w.shiftMarks().coverlines().size()), 1);
        const graph::Coverline line = w.shiftMarks().coverlines()[0];
        QCOMPARE(line.celsius, 36.3);
        QCOMPARE(line.first, april1 + 8);  // the six days before 15 April
        QCOMPARE(line.last, 179);          // the running cycle, to the last day shown
        QCOMPARE(line.firstHigher, std::optional<int>(april1 + 14));
        auto* degrees = static_cast<QValueAxis*>(w.G_CHART->chart()->axes(Qt::Vertical).constFirst());
        QVERIFY(degrees->min() > 35.5 && degrees->max() < 37.5);
        // Off again from the keyboard: the window as designed.
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // An access key clicks its box as the mouse does, after a short press.
        for (QCheckBox* box : {w.chkAutoScale, w.chkShift, w.chkMens}) {
            QTest::keyClick(&w, box->text().at(box->text().indexOf(u'&') + 1).toLatin1(), Qt::AltModifier);
            QTRY_VERIFY(!box->isChecked());
        }
        QCOMPARE(degrees->min(), 34.5);
        QCOMPARE(degrees->max(), 39.5);
        QVERIFY(w.shading().bands().empty() && w.shiftMarks().coverlines().empty());
        QVERIFY(bed.dialogs.calls.isEmpty());
    }

    // Her readings over 1.4 °C: every label of the fitted axis reads as a number, also
    // when the window is opened again (this test runs at scale 1.0 and, as a test of its own, 1.5).
    void everyFittedLabelShows() {
        TestBed bed(QDate(2001, 5, 20));
        for (QDate day(2000, 11, 22); day <= QDate(2001, 5, 20); day = day.addDays(1))
            saveDay(bed, day, day.day() % 9 ? "36.20" : day.day() % 2 ? "35.90" : "37.30");
        bed.settings->save(QStringLiteral("GRAPH_AUTOSCALE"), settingkeys::kKey, QStringLiteral("1"));
        bed.module.Db = bed.openData();
        bed.module.SelectedDate = QDate(2001, 5, 20);
        bed.module.CycleDays = QStringLiteral("28");
        frmView list(bed.module, bed.services);
        for (int opened = 0; opened < 2; ++opened) {
            frmDisp w(list, bed.module, bed.services);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCoreApplication::processEvents();
            // Every label the axis has is drawn (none hidden for want of room), and reads as a number.
            auto* degrees = static_cast<QValueAxis*>(w.G_CHART->chart()->axes(Qt::Vertical).constFirst());
            const QStringList labels = valueLabels(w);
            QVERIFY2(labels.size() >= 4, qPrintable(labels.join(u' ')));
            QCOMPARE(labels.size(),
                     graph::labelCount({degrees->min(), degrees->max(), degrees->tickInterval()}));
            for (const QString& label : labels) {
                bool number = false;
                label.toDouble(&number);
                QVERIFY2(number, qPrintable(labels.join(u' ')));
            }
            // Each label on a whole multiple of the step.
            for (const QString& label : labels) {
                const double steps = label.toDouble() / degrees->tickInterval();
                QVERIFY2(qAbs(steps - std::round(steps)) < 1e-6, qPrintable(labels.join(u' ')));
            }
        }
    }

    void printsTitleAndChartOnWhiteWithoutButtons() {
        RecordingPrinter own;
        GraphBed g(&own);
        frmDisp& printed = *g.window;
        own.window = &printed;
        const int height = printed.height();
        QTest::mouseClick(printed.CMD_PRINT, Qt::LeftButton);
        QTest::mouseClick(printed.CMD_PRINT, Qt::LeftButton);
        QVERIFY(g.bed.dialogs.calls.isEmpty());
        QCOMPARE(own.images.size(), 2);
        const QImage& image = own.images.first();
        QCOMPARE(own.images.last(), image);  // twice the same page
        QVERIFY(image.height() <= printed.CMD_PRINT->y());
        QVERIFY(image.height() >= printed.G_CHART->geometry().bottom());
        QCOMPARE(own.heightsWhilePrinting.first(), image.height());
        QCOMPARE(own.labelColoursWhilePrinting.first(), QColor(Qt::white));
        QCOMPARE(image.pixelColor(4, 4), QColor(Qt::white));  // the window's own background
        const QPoint inLabel = printed.Label1->mapTo(&printed, QPoint(printed.Label1->width() - 2, 1));
        QCOMPARE(image.pixelColor(inLabel), QColor(Qt::white));
        checkRestored(printed, height);
        QVERIFY(printed.CMD_PRINT->isVisible());
    }

    void printsIntoAPdfFile() {
        QTemporaryDir out;
        PdfFilePrinter pdf(out.filePath("graph.pdf"));
        GraphBed g(&pdf);
        frmDisp& w = *g.window;
        const int height = w.height();
        w.CMD_PRINT_Click();
        QVERIFY(g.bed.dialogs.calls.isEmpty());
        QCOMPARE(pdf.pagesPrinted(), 1);
        checkRestored(w, height);
        QFile file(out.filePath("graph.pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) QSKIP("pdftoppm is not installed");
        // Rendered at the screen's resolution, the page holds the window's image at its own size: the title
        // and the chart, and nothing where the buttons were.
        QProcess render;
        render.start("pdftoppm", {"-png", "-r", "96", "-singlefile", file.fileName(), out.filePath("page")});
        QVERIFY(render.waitForFinished(20000));
        const QImage page(out.filePath("page.png"));
        QVERIFY(!page.isNull());
        // The page may shrink the image to fit; its shape tells whether the buttons were cut off: the chart
        // is 10815 twips wide and the print ends 6960 twips below the window's top (the buttons end at 7335).
        const QRect ink = inkBox(page);
        const double shape = double(ink.height()) / ink.width();
        QVERIFY2(shape > 0.55 && shape < 0.66, qPrintable(QString::number(shape)));
        // The title band keeps its colour at the top, in the middle of the title frame.
        const double scale = ink.width() / double(w.G_CHART->width());
        const int middle = ink.left() + int((w.Frame1->geometry().center().x() - w.G_CHART->x()) * scale);
        QVERIFY(page.pixelColor(middle, ink.top() + 2).lightness() < 245);
    }

    void failedPrintReportsAndRestores_data() {
        QTest::addColumn<bool>("withPrinter");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer") << false
                                    << "印刷できませんでした。\r通常使うプリンタが設定されていません。";
        QTest::newRow("printer error") << true << "印刷できませんでした。\rプリンタへの出力に失敗しました。";
    }
    void failedPrintReportsAndRestores() {
        QFETCH(bool, withPrinter);
        RecordingPrinter failing(false);
        GraphBed g(withPrinter ? &failing : nullptr);
        frmDisp& shown = *g.window;
        failing.window = &shown;
        const int height = shown.height();
        shown.CMD_PRINT_Click();
        QTEST(g.bed.dialogs.texts().join('|'), "message");
        QCOMPARE(g.bed.dialogs.calls.first().icon, Dialogs::Icon::Exclamation);
        checkRestored(shown, height);
    }

    // Through the system's default printer: a CUPS PDF queue made the default by the test script.
    void printsOnTheDefaultPrinter() {
        const QPrinterInfo queue = QPrinterInfo::defaultPrinter();
        if (queue.isNull()) QSKIP("no default printer");
        // Never paper: only a PDF queue is printed on.
        if (!queue.makeAndModel().contains("CUPS-PDF")) QSKIP("the default printer is not a PDF queue");
        QFile conf("/etc/cups/cups-pdf.conf");
        QString outDir;
        if (conf.open(QIODevice::ReadOnly))
            for (const QString& line : QString::fromUtf8(conf.readAll()).split('\n'))
                if (line.startsWith("Out "))
                    outDir = line.mid(4).trimmed().replace("${HOME}", QDir::homePath());
        if (outDir.isEmpty()) QSKIP("the PDF queue's output folder is unknown");
        const QStringList before = QDir(outDir).entryList({"*.pdf"}, QDir::Files);
        DefaultPrinter printer;
        GraphBed g(&printer);
        frmDisp& w = *g.window;
        const int height = w.height();
        w.CMD_PRINT_Click();
        QVERIFY2(g.bed.dialogs.calls.isEmpty(), qPrintable(g.bed.dialogs.texts().join('|')));
        checkRestored(w, height);
        QString made;
        QElapsedTimer waited;
        waited.start();
        while (made.isEmpty() && waited.elapsed() < 15000) {
            for (const QString& name : QDir(outDir).entryList({"*.pdf"}, QDir::Files))
                if (!before.contains(name)) made = QDir(outDir).filePath(name);
            if (made.isEmpty()) QTest::qWait(200);
        }
        QVERIFY2(!made.isEmpty(), "no PDF from the print queue");
        // The queue may still be writing it, and hands it over to its owner only when done.
        QByteArray start;
        while (start != "%PDF-" && waited.elapsed() < 30000) {
            QFile file(made);
            if (file.open(QIODevice::ReadOnly)) start = file.read(5);
            if (start != "%PDF-") QTest::qWait(200);
        }
        QCOMPARE(start, QByteArray("%PDF-"));
        QFile::remove(made);
    }
};

QTEST_MAIN(TestGraph)
#include "test_graph.moc"
