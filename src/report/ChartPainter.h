#pragma once

#include "report/ChartModel.h"

class QPagedPaintDevice;

namespace report {

// Paints the chart on the device's pages in the chart's font (report/ChartFont.h), named explicitly so that a
// PDF embeds it, A4 landscape, its own 10 mm margins (the device's set to none).
// False when the device could not be painted on.
bool paintChart(QPagedPaintDevice& device, const ChartModel& chart);

}  // namespace report
