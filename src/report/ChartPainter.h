#pragma once

#include "report/ChartModel.h"

class QPagedPaintDevice;

namespace report {

// The font every text of the chart is set in, named explicitly so that a PDF embeds it.
inline constexpr const char* kFontFamily = "Noto Sans CJK JP";

// Paints the chart on the device's pages, A4 landscape, its own 10 mm margins (the device's set to none).
// False when the device could not be painted on.
bool paintChart(QPagedPaintDevice& device, const ChartModel& chart);

}  // namespace report
