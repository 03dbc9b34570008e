// The chart for her doctor from the command line: --report FILE.pdf [--last N].
#include "cli/CommandLine.h"
#include "cli/DiaryAccess.h"
#include "data/DataFile.h"
#include "report/ChartFile.h"
#include "transfer/WholeExport.h"

#include <QDir>

namespace cli {
namespace {

const QCommandLineOption kReport(
    QStringLiteral("report"),
    QStringLiteral("最近の周期の基礎体温表を PDF ﾌｧｲﾙに書き出します（あれば置き換えます）。"),
    QStringLiteral("FILE"));
const QCommandLineOption kLast(QStringLiteral("last"),
                               QStringLiteral("基礎体温表に入れる最近の周期の数：1～3（既定 3）。"),
                               QStringLiteral("N"));

int runReport(const QCommandLineParser& parser, Context& context) {
    int cycles = report::kDefaultCycles;
    if (parser.isSet(kLast)) {
        bool ok = false;
        cycles = parser.value(kLast).trimmed().toInt(&ok);
        if (!ok || cycles < report::kFewestCycles || cycles > report::kMostCycles) {
            context.err << QStringLiteral("--last は 1 から 3 までの数です。") << Qt::endl;
            return Usage;
        }
    }
    const QString file = parser.value(kReport);
    if (file.isEmpty()) {
        context.err << QStringLiteral("--report には書き出す PDF ﾌｧｲﾙの名前が要ります。") << Qt::endl;
        return Usage;
    }
    const std::unique_ptr<DataFile> db = context.openDiary();
    if (!db) return Refused;
    // The chart of a locked diary is as plain as an export.
    if (db->store())
        context.err << QStringLiteral("注意：") << oneLine(transfer::kNotSealedWarning) << Qt::endl;
    const Result<std::optional<report::ChartModel>> chart =
        attempt([&] { return report::chartOf(*db, cycles, QDate::currentDate()); });
    if (!chart) {
        context.err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを読めません：") << chart.message() << Qt::endl;
        return Refused;
    }
    if (!chart.value()) {
        context.err << QStringLiteral("月経の記録がないので、基礎体温表を作れません。") << Qt::endl;
        return Refused;
    }
    const Result<void> saved = report::saveChart(*chart.value(), file, context.dataPath());
    if (!saved) {
        context.err << QStringLiteral("書き出せませんでした：") << QDir::toNativeSeparators(file)
                    << QStringLiteral("：") << saved.message() << Qt::endl;
        return Refused;
    }
    return Success;
}

}  // namespace

std::vector<Command> reportCommands() { return {{{kReport, kLast}, 0, runReport}}; }

}  // namespace cli
