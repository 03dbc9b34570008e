#pragma once

#include <QWidget>
#include <vector>

namespace historyui {

// A small bar chart of cycle lengths, oldest on the left: counted cycles in the diary's red, those left out
// of the figures in grey, a bar taller than the scale cut at its top.
class CycleChart : public QWidget {
    Q_OBJECT

  public:
    struct Bar {
        int days = 0;
        bool counted = false;
    };

    explicit CycleChart(QWidget* parent = nullptr);

    void setBars(std::vector<Bar> bars);
    const std::vector<Bar>& bars() const { return bars_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<Bar> bars_;
};

}  // namespace historyui
