#include "graph/frmDisp.h"

#include "list/frmView.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowParts.h"
#include "platform/ui/WindowPrinter.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>

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
    days->setRange(0, graphpoints::kPoints - 1);
    days->setLabelsAngle(-90);
    days->setTruncateLabels(false);
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    auto* degrees = new QValueAxis(chart);
    degrees->setRange(34.5, 39.5);
    degrees->setTickCount(11);
    degrees->setMinorTickCount(4);
    degrees->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(degrees, Qt::AlignLeft);
    series->attachAxis(degrees);
    G_CHART->setChart(chart);
    G_CHART->setVisible(false);
}

void frmDisp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmDisp::Form_Activate() {
    graph_ = graphpoints::fromGrid([this](int row, int col) { return list_.TextMatrix(row, col); },
                                   m_.AverageTemp);
    LABEL_DATE[0]->setText(graph_.firstDay);
    LABEL_DATE[1]->setText(graph_.lastDay);
    drawChart();
    G_CHART->setVisible(true);
}

void frmDisp::drawChart() {
    QChart* chart = G_CHART->chart();
    auto* series = static_cast<QLineSeries*>(chart->series().constFirst());
    QList<QPointF> points;
    points.reserve(graphpoints::kPoints);
    for (size_t i = 0; i < graph_.points.size(); ++i)
        points.append(QPointF(double(i), graph_.points[i].value));
    series->replace(points);

    auto* days = static_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).constFirst());
    for (const QString& label : days->categoriesLabels()) days->remove(label);
    // Categories go left to right; counting back from the last day keeps the selected day labelled.
    const int last = int(graph_.points.size()) - 1;
    for (int i = last % kLabelEvery; i <= last; i += kLabelEvery) days->append(graph_.points[i].label, i);
    days->setStartValue(0);
}

void frmDisp::setPrintBackgrounds(const QColor& colour) {
    for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(LABEL_BETWEEN),
                            static_cast<QWidget*>(LABEL_DATE[0]), static_cast<QWidget*>(LABEL_DATE[1]),
                            static_cast<QWidget*>(Label1)})
        windowparts::setBackground(widget, colour);
}

void frmDisp::CMD_PRINT_Click() {
    const int height = this->height();
    setPrintBackgrounds(Qt::white);
    setFixedHeight(twips::toPixels(kPrintHeight));
    WindowPrinter::Outcome outcome{false, kNoPrinter};
    if (services_.printer) outcome = services_.printer->print(grab().toImage(), QStringLiteral("Selvane"));
    // The window returns to its screen look whatever the printer did.
    setPrintBackgrounds(buttonFaceColour());
    setFixedHeight(height);
    if (!outcome.printed)
        services_.dialogs->message(this, QStringLiteral("印刷できませんでした。\r") + outcome.reason,
                                   kAppTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

void frmDisp::CMD_CLOSE_Click() { reject(); }
