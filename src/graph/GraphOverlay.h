#pragma once

#include "graph/GraphMarks.h"

#include <QGraphicsItem>
#include <vector>

class QAbstractSeries;
class QChart;

namespace graph {

// Draws the options' marks on the chart, in the chart's own value coordinates of the curve: the shaded
// menstruation days behind the grid and the curve, the coverlines and first higher readings over them.
class GraphOverlay : public QGraphicsItem {
  public:
    enum class Layer { Behind, Above };

    GraphOverlay(QChart* chart, QAbstractSeries* curve, Layer layer);

    void setBands(std::vector<graph::Band> bands);
    void setCoverlines(std::vector<graph::Coverline> lines);
    // The readings she marked as disturbed, drawn hollow on the curve: (point index, °C).
    void setExcluded(std::vector<QPointF> readings);
    // The plot area moved or the axis changed: paint again where it now lies.
    void refresh();

    const std::vector<graph::Band>& bands() const { return bands_; }
    const std::vector<graph::Coverline>& coverlines() const { return lines_; }
    const std::vector<QPointF>& excluded() const { return excluded_; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    double xOf(double index) const;
    double yOf(double celsius) const;

    QChart* chart_;
    QAbstractSeries* curve_;
    std::vector<graph::Band> bands_;
    std::vector<graph::Coverline> lines_;
    std::vector<QPointF> excluded_;
};

}  // namespace graph
