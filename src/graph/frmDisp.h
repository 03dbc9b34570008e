#pragma once

#include "graph/GraphOptions.h"
#include "graph/GraphPoints.h"
#include "history/Cycles.h"
#include "session/Module1.h"

#include <QColor>
#include <QDialog>
#include <QPointF>
#include <array>
#include <optional>
#include <vector>

namespace graph {
class GraphOverlay;
}
class QChartView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class frmView;

// The basal temperature graph of the list's 180 days, drawn from the list window's grid (never from
// the data file), and its quick print.
class frmDisp : public QDialog {
    Q_OBJECT

  public:
    frmDisp(const frmView& list, const Module1& module, const Services& services, QWidget* parent = nullptr);

    // Shows the graph modally over the list window.
    static void showOver(frmView& list, const Module1& module, const Services& services);

    // The points as handed to the chart, oldest first (every point keeps its month/day label here,
    // while the axis shows a readable subset).
    const graph::Graph& graph() const { return graph_; }

    // The colours of the title band as designed and of the window's face.
    static QColor activeBorderColour();
    static QColor buttonFaceColour();

    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 2> LABEL_DATE{};
    QLabel* LABEL_BETWEEN = nullptr;
    QLabel* Label1 = nullptr;
    QChartView* G_CHART = nullptr;
    QPushButton* CMD_PRINT = nullptr;
    QPushButton* CMD_CLOSE = nullptr;
    // The view options under the chart, beside the buttons (left out of the print, as the buttons are).
    QCheckBox* chkShift = nullptr;
    QCheckBox* chkMens = nullptr;
    QCheckBox* chkAutoScale = nullptr;

    // What the options draw now: the shaded days behind the curve, the coverlines over it.
    const graph::GraphOverlay& shading() const { return *behind_; }
    const graph::GraphOverlay& shiftMarks() const { return *above_; }

  public slots:
    void Form_Activate();
    void CMD_PRINT_Click();
    void CMD_CLOSE_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();
    void Form_Load();
    void drawChart();
    void setPrintBackgrounds(const QColor& colour);
    void buildOptions();
    void optionToggled(graph::Option option, bool on);
    void fitValueAxis();
    void drawOptions();
    const std::vector<history::Cycle>& cyclesShown();
    // The days shown whose reading she marked as disturbed, as points of the curve.
    std::vector<QPointF> excludedReadings();

    const frmView& list_;
    const Module1& m_;
    Services services_;
    graph::Graph graph_;
    graph::Options options_;
    std::optional<std::vector<history::Cycle>> cycles_;  // read once, when the shift is first shown
    graph::GraphOverlay* behind_ = nullptr;
    graph::GraphOverlay* above_ = nullptr;
};
