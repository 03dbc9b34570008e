#pragma once

#include "platform/core/Result.h"
#include "report/ChartModel.h"

#include <QByteArray>
#include <QString>
#include <optional>

class DataFile;

namespace report {

// The chart of the chosen cycles as known on through, read from the data file (only the rows of those
// cycles). Nothing when the choice holds no cycle (no menstruation day on or before through, or no finished
// cycle and the running one not asked for). Throws PgError.
std::optional<ChartModel> chartOf(DataFile& file, const CycleChoice& choice, const QDate& through);

// The chart as a PDF document (empty when it could not be painted).
QByteArray pdfOf(const ChartModel& chart);

// Writes the chart as a PDF file at path in one step, replacing what was there; the diary's own file is
// refused. Why not, when the file at path is as it was (nothing there when there was nothing).
Result<void> saveChart(const ChartModel& chart, const QString& path, const QString& dataPath);
// The same with the failure's description, empty when written: the report dialog's form.
QString writePdf(const ChartModel& chart, const QString& path, const QString& dataPath);

}  // namespace report
