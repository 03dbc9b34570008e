#include "ui/history/CycleChart.h"

#include "platform/core/Twips.h"

#include <QPainter>
#include <algorithm>

namespace historyui {

namespace {

constexpr int kScaleStep = 10;    // a grid line every ten days
constexpr int kLowestTop = 40;    // the scale reaches at least this many days
constexpr int kHighestTop = 100;  // and at most this many: a longer cycle's bar is cut
// Margins in pixels at 96 DPI; they grow with the screen's DPI as the figures' font does.
constexpr int kLeft = 28;  // room for the scale's figures
constexpr int kBottom = 4;
constexpr int kTop = 14;  // room for the figure over the tallest bar
constexpr int kFigureHalf = 8;

int scaled(int pixels) { return twips::toPixels(pixels * 15); }

const QColor kCounted(0xd0, 0x50, 0x70);
const QColor kLeftOut(0xb0, 0xb0, 0xb0);

int scaleTop(const std::vector<CycleChart::Bar>& bars) {
    int longest = kLowestTop;
    for (const CycleChart::Bar& bar : bars) longest = std::max(longest, std::min(bar.days, kHighestTop));
    return (longest + kScaleStep - 1) / kScaleStep * kScaleStep;
}

}  // namespace

CycleChart::CycleChart(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("周期の長さ（左が古く、右が新しい周期。灰色は統計に入れない周期）"));
}

void CycleChart::setBars(std::vector<Bar> bars) {
    bars_ = std::move(bars);
    update();
}

void CycleChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int top = scaleTop(bars_);
    const int left = scaled(kLeft);
    const int figureTop = scaled(kTop);
    const int figureHalf = scaled(kFigureHalf);
    const QRect plot = rect().adjusted(left, figureTop, -scaled(4), -scaled(kBottom));
    auto yOf = [&](int days) { return plot.bottom() - plot.height() * std::min(days, top) / top; };
    painter.setFont(font());
    for (int days = 0; days <= top; days += kScaleStep) {
        painter.setPen(days == 0 ? Qt::black : QColor(0xe0, 0xe0, 0xe0));
        painter.drawLine(plot.left(), yOf(days), plot.right(), yOf(days));
        painter.setPen(Qt::darkGray);
        painter.drawText(QRect(0, yOf(days) - figureHalf, left - scaled(4), 2 * figureHalf),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(days));
    }
    if (bars_.empty()) return;
    const int slot = std::max(1, plot.width() / static_cast<int>(bars_.size()));
    const int width = std::max(1, slot * 2 / 3);
    for (size_t i = 0; i < bars_.size(); ++i) {
        const Bar& bar = bars_[i];
        const int x = plot.left() + static_cast<int>(i) * slot + (slot - width) / 2;
        const QRect column(QPoint(x, yOf(bar.days)), QPoint(x + width - 1, plot.bottom() - 1));
        painter.fillRect(column, bar.counted ? kCounted : kLeftOut);
        if (slot < painter.fontMetrics().horizontalAdvance(QStringLiteral("000"))) continue;
        painter.setPen(Qt::black);
        painter.drawText(QRect(x - slot / 2, column.top() - figureTop, width + slot, figureTop),
                         Qt::AlignHCenter | Qt::AlignBottom, QString::number(bar.days));
    }
}

}  // namespace historyui
