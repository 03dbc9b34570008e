#include "graph/GraphOverlay.h"

#include <QAbstractSeries>
#include <QChart>
#include <QPainter>

namespace graph {

namespace {

// Between the plot area's background and its grid lines, or above every series but under the legend.
constexpr double kBehindZ = 0.5;
constexpr double kAboveZ = 12.5;
const QColor kBandColour(0xf4, 0xb6, 0xc8, 0x90);
const QColor kCoverlineColour(0x1f, 0x5f, 0xbf);
constexpr double kMarkRadius = 4.5;
// The curve's own colour: a hollow dot on the curve is a reading left out, the blue ring a shift.
const QColor kExcludedColour(0xc0, 0x30, 0x60);
constexpr double kExcludedRadius = 3;

}  // namespace

GraphOverlay::GraphOverlay(QChart* chart, QAbstractSeries* curve, Layer layer)
    : QGraphicsItem(chart), chart_(chart), curve_(curve) {
    setZValue(layer == Layer::Behind ? kBehindZ : kAboveZ);
    setAcceptedMouseButtons(Qt::NoButton);
}

void GraphOverlay::setBands(std::vector<graph::Band> bands) {
    bands_ = std::move(bands);
    refresh();
}

void GraphOverlay::setCoverlines(std::vector<graph::Coverline> lines) {
    lines_ = std::move(lines);
    refresh();
}

void GraphOverlay::setExcluded(std::vector<QPointF> readings) {
    excluded_ = std::move(readings);
    refresh();
}

void GraphOverlay::refresh() {
    prepareGeometryChange();
    update();
}

QRectF GraphOverlay::boundingRect() const {
    return chart_->plotArea().adjusted(-kMarkRadius, -kMarkRadius, kMarkRadius, kMarkRadius);
}

double GraphOverlay::xOf(double index) const { return chart_->mapToPosition(QPointF(index, 0), curve_).x(); }
double GraphOverlay::yOf(double celsius) const {
    return chart_->mapToPosition(QPointF(0, celsius), curve_).y();
}

void GraphOverlay::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF plot = chart_->plotArea();
    painter->save();
    painter->setClipRect(plot);
    painter->setRenderHint(QPainter::Antialiasing);
    for (const graph::Band& band : bands_) {
        const double left = xOf(band.first - 0.5);
        const double right = xOf(band.last + 0.5);
        painter->fillRect(QRectF(left, plot.top(), right - left, plot.height()), kBandColour);
    }
    painter->setPen(QPen(kCoverlineColour, 1.5));
    for (const graph::Coverline& line : lines_) {
        const double y = yOf(line.celsius);
        painter->drawLine(QPointF(xOf(line.first), y), QPointF(xOf(line.last), y));
    }
    painter->setClipping(false);
    painter->setPen(QPen(kCoverlineColour, 2));
    painter->setBrush(Qt::white);
    for (const graph::Coverline& line : lines_) {
        if (!line.firstHigher) continue;
        const QPointF at(xOf(*line.firstHigher), yOf(line.firstHigherValue));
        if (plot.contains(at)) painter->drawEllipse(at, kMarkRadius, kMarkRadius);
    }
    painter->setPen(QPen(kExcludedColour, 1.5));
    for (const QPointF& reading : excluded_) {
        const QPointF at(xOf(reading.x()), yOf(reading.y()));
        if (plot.contains(at)) painter->drawEllipse(at, kExcludedRadius, kExcludedRadius);
    }
    painter->restore();
}

}  // namespace graph
