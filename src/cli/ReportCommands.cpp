// The chart for her doctor from the command line: --report FILE.pdf [--last N] [--running].
#include "cli/CliPaths.h"
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
                               QStringLiteral("基礎体温表に入れる最近の終わった周期の数：1～3（既定 3）。"),
                               QStringLiteral("N"));
const QCommandLineOption kRunning(QStringLiteral("running"),
                                  QStringLiteral("まだ終わっていない今の周期も基礎体温表に入れます。"));

int runReport(const QCommandLineParser& parser, Context& context) {
    report::CycleChoice choice{report::kDefaultCycles, parser.isSet(kRunning)};
    if (parser.isSet(kLast)) {
        bool ok = false;
        choice.complete = parser.value(kLast).trimmed().toInt(&ok);
        if (!ok || choice.complete < report::kFewestCycles || choice.complete > report::kMostCycles) {
            context.err << QStringLiteral("--last は 1 から 3 までの数です。") << Qt::endl;
            return Usage;
        }
    }
    const QString file = argumentPath(parser.value(kReport));
    if (file.isEmpty()) {
        context.err << QStringLiteral("--report には書き出す PDF ﾌｧｲﾙの名前が要ります。") << Qt::endl;
        return Usage;
    }
    const std::unique_ptr<DataFile> db = context.openDiary();
    if (!db) return Refused;
    // The chart of a locked diary is as plain as an export.
    if (db->store())
        context.err << QStringLiteral("注意：") << oneLine(transfer::kNotSealedWarning) << Qt::endl;
    // Whether a period was recorded at all tells which of the two reasons to give when there is no chart.
    bool anyCycle = false;
    const Result<std::optional<report::ChartModel>> chart = attempt([&] {
        anyCycle = report::chartOf(*db, report::CycleChoice{1, true}, QDate::currentDate()).has_value();
        return report::chartOf(*db, choice, QDate::currentDate());
    });
    if (!chart) {
        context.err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを読めません：") << chart.message() << Qt::endl;
        return Refused;
    }
    if (!chart.value()) {
        context.err << (anyCycle ? QStringLiteral("終わった周期がまだないので、基礎体温表を作れません。"
                                                  "今の周期は --running で入れられます。")
                                 : QStringLiteral("月経の記録がないので、基礎体温表を作れません。"))
                    << Qt::endl;
        return Refused;
    }
    const Result<void> saved = report::saveChart(*chart.value(), file, context.dataPath());
    if (!saved) {
        context.err << QStringLiteral("書き出せませんでした：") << shownPath(file) << QStringLiteral("：")
                    << saved.message() << Qt::endl;
        return Refused;
    }
    return Success;
}

}  // namespace

std::vector<Command> reportCommands() { return {{{kReport, kLast, kRunning}, 0, runReport}}; }

}  // namespace cli
