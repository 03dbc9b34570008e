#include "report/ChartFile.h"

#include "data/DataFile.h"
#include "history/CycleHistory.h"
#include "platform/core/AtomicFile.h"
#include "report/ChartPainter.h"
#include "transfer/WholeExport.h"

#include <QBuffer>
#include <QPdfWriter>

namespace report {

std::optional<ChartModel> chartOf(DataFile& file, const CycleChoice& choice, const QDate& through) {
    const std::vector<history::Cycle> chosen =
        chosenCycles(history::latestCycles(file, through, cyclesToRead(choice)), choice);
    if (chosen.empty()) return std::nullopt;
    return buildChart(chosen, file.range(chosen.back().start, through), through);
}

QByteArray pdfOf(const ChartModel& chart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    bool painted = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setTitle(QStringLiteral("基礎体温表"));
        writer.setCreator(QStringLiteral("Selvane"));
        painted = paintChart(writer, chart);
    }
    return painted ? bytes : QByteArray();
}

Result<void> saveChart(const ChartModel& chart, const QString& path, const QString& dataPath) {
    if (transfer::refusedTarget(path, dataPath)) return Failure{QStringLiteral("そこには保存できません。")};
    const QByteArray bytes = pdfOf(chart);
    if (bytes.isEmpty()) return Failure{QStringLiteral("基礎体温表を描けませんでした。")};
    if (const QString error = AtomicFile::replace(path, bytes); !error.isEmpty()) return Failure{error};
    return {};
}

QString writePdf(const ChartModel& chart, const QString& path, const QString& dataPath) {
    const Result<void> saved = saveChart(chart, path, dataPath);
    return saved ? QString() : saved.message();
}

}  // namespace report
