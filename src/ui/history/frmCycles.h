#pragma once

#include "forecast/CycleLength.h"
#include "history/Cycles.h"
#include "session/Module1.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace historyui {

class CycleChart;

// The cycle window: her cycles newest first (whether the temperature rose, why one is left out), the figures
// over the latest 6 and 12 counted cycles, a chart of the cycle lengths, and the main window's forecast. It
// reads only the latest cycles it shows, never the whole diary; older ones come a batch at a time on request.
class frmCycles : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kBatch = 24;  // cycles shown at first and added by each request for older ones

    // The cycle the main window's forecast counts with, and whether it comes from her records.
    struct ForecastCycle {
        forecast::CycleLength length;
        bool fromRecords = false;
    };

    // Without a cycle given, the forecast counts with her cycle setting.
    frmCycles(Module1& module, const Services& services,
              const std::optional<ForecastCycle>& forecastWith = std::nullopt, QWidget* parent = nullptr);

    const std::vector<history::Cycle>& cycles() const { return cycles_; }

    QTableWidget* grdCycles = nullptr;
    QTableWidget* grdFigures = nullptr;
    QLabel* lblTooFew = nullptr;
    QLabel* lblForecast = nullptr;
    QLabel* lblNotice = nullptr;
    CycleChart* chart = nullptr;
    QPushButton* cmdOlder = nullptr;
    QPushButton* cmdClose = nullptr;

  public slots:
    void cmdOlder_Click();

  private:
    void buildLayout();
    void load(int count);
    void showCycles();
    void showFigures();
    void showChart();
    void showForecast();

    Module1& m_;
    Services services_;
    ForecastCycle forecastWith_;
    std::vector<history::Cycle> cycles_;  // newest first
};

}  // namespace historyui
