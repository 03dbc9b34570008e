#include "graph/frmDisp.h"

#include "data/DataFile.h"
#include "data/SettingsStore.h"
#include "graph/GraphMarks.h"
#include "graph/GraphOverlay.h"
#include "graph/GraphScale.h"
#include "history/CycleHistory.h"
#include "list/frmView.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScreenFit.h"
#include "platform/ui/WindowParts.h"
#include "platform/ui/WindowPrinter.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTextDocument>
#include <QValueAxis>
#include <cmath>
#include <memory>

using windowparts::titleLabel;

namespace {

const int kClientWidth = 11265;
const int kClientHeight = 7500;
const int kChartTop = 840;
const int kChartHeight = 5895;
// The print cuts the window where the buttons begin: the chart's bottom plus 600 twips of outer height,
// less the 375 twips that the title bar and borders took of it in the window's design metrics.
const int kPrintHeight = kChartTop + kChartHeight + 600 - 375;
const int kLabelEvery = 7;  // days between two labels of the time axis, counted back from the last day

}  // namespace

frmDisp::frmDisp(const frmView& list, const Module1& module, const Services& services, QWidget* parent)
    : QDialog(parent), list_(list), m_(module), services_(services) {
    buildLayout();
    Form_Load();
    screenfit::fit(this);
}

void frmDisp::showOver(frmView& list, const Module1& module, const Services& services) {
    frmDisp window(list, module, services, &list);
    window.exec();
}

QColor frmDisp::buttonFaceColour() { return QApplication::palette().color(QPalette::Button); }
QColor frmDisp::activeBorderColour() { return buttonFaceColour().darker(112); }

void frmDisp::buildLayout() {
    setObjectName(QStringLiteral("frmDisp"));
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ表示"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(appsetup::japaneseFont(9));
    setFixedSize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    windowparts::setBackground(this, buttonFaceColour());

    Frame1 = placeAt<QGroupBox>(this, "Frame1", 1320, 0, 8415, 735);
    windowparts::setBackground(Frame1, activeBorderColour());
    LABEL_DATE[0] = titleLabel(Frame1, "LABEL_DATE0", QStringLiteral("1999/12/10"), 600, 1815, 315);
    LABEL_BETWEEN = titleLabel(Frame1, "LABEL_BETWEEN", QStringLiteral("～"), 2640, 345, 315);
    LABEL_DATE[1] = titleLabel(Frame1, "LABEL_DATE1", QStringLiteral("1999/12/19"), 3240, 1815, 315);
    Label1 = titleLabel(Frame1, "Label1", QStringLiteral("の基礎体温グラフ"), 5160, 2655, 375);
    // The title band has a colour of its own, the active window border's in the design.
    for (QLabel* label : {LABEL_DATE[0], LABEL_BETWEEN, LABEL_DATE[1], Label1})
        windowparts::setBackground(label, activeBorderColour());

    G_CHART = placeAt<QChartView>(this, "G_CHART", 240, kChartTop, 10815, kChartHeight);
    G_CHART->setToolTip(QStringLiteral("過去180日分の基礎体温グラフです"));
    G_CHART->setRenderHint(QPainter::Antialiasing);
    G_CHART->setFrameShape(QFrame::NoFrame);

    CMD_PRINT = windowparts::button(this, "CMD_PRINT", QStringLiteral("印刷(&P)"),
                                    QStringLiteral("簡易印刷の開始"), 7440, 6960, 1815, 375);
    CMD_CLOSE = windowparts::button(this, "CMD_CLOSE", QStringLiteral("閉じる(&C)"),
                                    QStringLiteral("ｸﾞﾗﾌを閉じる"), 9360, 6960, 1695, 375);

    setTabOrder(CMD_CLOSE, CMD_PRINT);
    setTabOrder(CMD_PRINT, G_CHART);
    connect(CMD_PRINT, &QPushButton::clicked, this, &frmDisp::CMD_PRINT_Click);
    connect(CMD_CLOSE, &QPushButton::clicked, this, &frmDisp::CMD_CLOSE_Click);
    buildOptions();
}

void frmDisp::buildOptions() {
    // In the buttons' row, left of them: the window keeps its designed size and the print leaves them out.
    options_ = graph::read(services_.settings);
    const struct {
        QCheckBox** box;
        const char* name;
        const char* caption;
        const char* tip;
        int left;
        int width;
        graph::Option option;
        bool on;
    } boxes[] = {
        {&chkShift, "chkShift", "体温の変化を表示(&S)",
         "青い線：ｶﾊﾞｰﾗｲﾝ（体温が上がる前の6日の最高の体温）\n○：体温が上がった最初の日\n"
         "白抜きの点：除外した体温（体温の変化には使いません）",
         240, 2400, graph::Option::Shift, options_.shift},
        {&chkMens, "chkMens", "月経日を表示(&M)", "月経の日を薄い赤で塗ります", 2760, 1900,
         graph::Option::Menstruation, options_.menstruation},
        {&chkAutoScale, "chkAutoScale", "目盛りを自動(&A)", "表示している体温に合わせて目盛りを広げます",
         4780, 1900, graph::Option::AutoScale, options_.autoScale},
    };
    QWidget* previous = G_CHART;
    for (const auto& entry : boxes) {
        auto* box = placeAt<QCheckBox>(this, entry.name, entry.left, 7020, entry.width, 255);
        box->setText(QString::fromUtf8(entry.caption));
        box->setToolTip(QString::fromUtf8(entry.tip));
        box->setChecked(entry.on);
        const graph::Option option = entry.option;
        connect(box, &QCheckBox::toggled, this, [this, option](bool on) { optionToggled(option, on); });
        setTabOrder(previous, box);
        previous = box;
        *entry.box = box;
    }
}

void frmDisp::optionToggled(graph::Option option, bool on) {
    switch (option) {
        case graph::Option::Shift:
            options_.shift = on;
            break;
        case graph::Option::Menstruation:
            options_.menstruation = on;
            break;
        case graph::Option::AutoScale:
            options_.autoScale = on;
            break;
    }
    if (services_.settings)
        services_.dialogs->trapped(this, [&] { graph::save(*services_.settings, option, on); });
    drawOptions();
}

const std::vector<history::Cycle>& frmDisp::cyclesShown() {
    if (!cycles_) {
        cycles_.emplace();
        if (m_.Db)
            services_.dialogs->trapped(this, [this] {
                *cycles_ = history::cyclesCovering(*m_.Db, m_.SelectedDate.addDays(1 - graph::kPoints),
                                                   m_.SelectedDate);
            });
    }
    return *cycles_;
}

// The axis fitted to her readings, with no more labels than the plot's height holds: the axis hides a label
// that would touch the one above it.
void frmDisp::fitValueAxis() {
    auto* degrees = static_cast<QValueAxis*>(G_CHART->chart()->axes(Qt::Vertical).constFirst());
    if (!options_.autoScale) {
        if (degrees->tickType() == QValueAxis::TicksFixed) return;
        degrees->setTickType(QValueAxis::TicksFixed);
        degrees->setRange(graph::kFixed.min, graph::kFixed.max);
        degrees->setTickCount(11);
        degrees->setMinorTickCount(4);
        return;
    }
    // A label's box as the axis measures it (a text item's), a pixel of margin around it and one for the
    // rounding of its place.
    QGraphicsTextItem label;
    label.document()->setDocumentMargin(0);
    label.setFont(degrees->labelsFont());
    label.setPlainText(QStringLiteral("36.5"));
    const double labelHeight = label.boundingRect().height() + 3;
    const int mostLabels = static_cast<int>(G_CHART->chart()->plotArea().height() / labelHeight) + 1;
    const graph::ValueRange range = graph::fitted(graph_, mostLabels);
    if (degrees->tickType() == QValueAxis::TicksDynamic && qFuzzyCompare(degrees->min(), range.min) &&
        qFuzzyCompare(degrees->max(), range.max + 1e-6) && qFuzzyCompare(degrees->tickInterval(), range.tick))
        return;                                      // as it is: the plot area's changes come back here
    degrees->setRange(range.min, range.max + 1e-6);  // the top line stays labelled despite rounding
    degrees->setTickType(QValueAxis::TicksDynamic);
    // Labels on whole multiples of the step (36.0, 36.2, ...), a line each tenth between them.
    degrees->setTickAnchor(std::ceil(range.min / range.tick - 1e-6) * range.tick);
    degrees->setTickInterval(range.tick);
    degrees->setMinorTickCount(static_cast<int>(std::lround(range.tick * 10)) - 1);
}

void frmDisp::drawOptions() {
    fitValueAxis();
    behind_->setBands(options_.menstruation ? graph::menstruationBands(graph_) : std::vector<graph::Band>{});
    above_->setCoverlines(
        options_.shift ? graph::coverlines(cyclesShown(), m_.SelectedDate.addDays(1 - graph::kPoints), graph_)
                       : std::vector<graph::Coverline>{});
}

void frmDisp::Form_Load() {
    // The axes are fixed for the window's life; each fill replaces only the points and their labels.
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* series = new QLineSeries(chart);
    series->setPen(QPen(QColor(0xc0, 0x30, 0x60), 1.5));
    chart->addSeries(series);
    auto* days = new QCategoryAxis(chart);
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    days->setRange(0, graph::kPoints - 1);
    days->setLabelsAngle(-90);
    days->setTruncateLabels(false);
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    auto* degrees = new QValueAxis(chart);
    degrees->setRange(34.5, 39.5);
    degrees->setTickCount(11);
    degrees->setMinorTickCount(4);
    degrees->setLabelFormat(QStringLiteral("%.1f"));
    // A label a tenth apart is lower than the font's line (its leading is generous for kanji), though its
    // digits fit well: the axis would shorten every label to "...".
    degrees->setTruncateLabels(false);
    chart->addAxis(degrees, Qt::AlignLeft);
    series->attachAxis(degrees);
    // The view's own empty chart is only let go by setChart, not deleted.
    const std::unique_ptr<QChart> standIn(G_CHART->chart());
    G_CHART->setChart(chart);
    behind_ = new graph::GraphOverlay(chart, series, graph::GraphOverlay::Layer::Behind);
    above_ = new graph::GraphOverlay(chart, series, graph::GraphOverlay::Layer::Above);
    connect(chart, &QChart::plotAreaChanged, this, [this] {
        fitValueAxis();
        behind_->refresh();
        above_->refresh();
    });
    G_CHART->setVisible(false);
}

void frmDisp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmDisp::Form_Activate() {
    graph_ = graph::fromGrid([this](int row, int col) { return list_.TextMatrix(row, col); }, m_.AverageTemp);
    LABEL_DATE[0]->setText(graph_.firstDay);
    LABEL_DATE[1]->setText(graph_.lastDay);
    drawChart();
    G_CHART->setVisible(true);
}

void frmDisp::drawChart() {
    QChart* chart = G_CHART->chart();
    auto* series = static_cast<QLineSeries*>(chart->series().constFirst());
    QList<QPointF> points;
    points.reserve(graph::kPoints);
    for (size_t i = 0; i < graph_.points.size(); ++i)
        points.append(QPointF(double(i), graph_.points[i].value));
    series->replace(points);

    auto* days = static_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).constFirst());
    for (const QString& label : days->categoriesLabels()) days->remove(label);
    // Categories go left to right; counting back from the last day keeps the selected day labelled.
    const int last = int(graph_.points.size()) - 1;
    for (int i = last % kLabelEvery; i <= last; i += kLabelEvery) days->append(graph_.points[i].label, i);
    days->setStartValue(0);
    above_->setExcluded(excludedReadings());
    drawOptions();
}

std::vector<QPointF> frmDisp::excludedReadings() {
    std::vector<QPointF> readings;
    const QDate first = m_.SelectedDate.addDays(1 - graph::kPoints);
    std::vector<QDate> days;
    if (m_.Db) services_.dialogs->trapped(this, [&] { days = m_.Db->excludedDays(first, m_.SelectedDate); });
    for (const QDate& day : days) {
        const auto at = size_t(first.daysTo(day));
        if (at < graph_.points.size() && graph_.points[at].reading)
            readings.emplace_back(double(at), graph_.points[at].value);
    }
    return readings;
}

void frmDisp::setPrintBackgrounds(const QColor& colour) {
    for (QWidget* widget :
         {Frame1->parentWidget(), static_cast<QWidget*>(LABEL_BETWEEN), static_cast<QWidget*>(LABEL_DATE[0]),
          static_cast<QWidget*>(LABEL_DATE[1]), static_cast<QWidget*>(Label1)})
        windowparts::setBackground(widget, colour);
}

void frmDisp::CMD_PRINT_Click() {
    // The window's face: the window itself, or the page that scrolls in it on a small screen.
    QWidget* face = Frame1->parentWidget();
    const int height = face->height();
    setPrintBackgrounds(Qt::white);
    face->setFixedHeight(twips::toPixels(kPrintHeight));
    WindowPrinter::Outcome outcome{false, kNoPrinter};
    if (services_.printer)
        outcome = services_.printer->print(face->grab().toImage(), QStringLiteral("Selvane"));
    // The window returns to its screen look whatever the printer did.
    setPrintBackgrounds(buttonFaceColour());
    face->setFixedHeight(height);
    if (!outcome.printed)
        services_.dialogs->message(this, QStringLiteral("印刷できませんでした。\r") + outcome.reason,
                                   kAppTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

void frmDisp::CMD_CLOSE_Click() { reject(); }
