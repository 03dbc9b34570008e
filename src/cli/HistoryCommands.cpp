// Her cycles from the command line: --cycles prints them as CSV, oldest first.
#include "cli/CommandLine.h"
#include "cli/DiaryAccess.h"

#include "data/DataFile.h"
#include "history/CycleHistory.h"
#include "history/CycleTexts.h"
#include "transfer/WholeExport.h"

namespace cli {
namespace {

const QCommandLineOption kCycles(QStringLiteral("cycles"),
                                 QStringLiteral("月経周期の記録を CSV で標準出力に書き出します（古い順）。"));

int printCycles(const QCommandLineParser& parser, Context& context) {
    for (const QString& name : parser.optionNames()) {
        if (name == kCycles.names().constFirst() || name == QLatin1String("passphrase-fd")) continue;
        context.err << QStringLiteral("--%1 はこのｺﾏﾝﾄﾞには使えません。").arg(name) << Qt::endl;
        return Usage;
    }
    const std::unique_ptr<DataFile> diary = context.openDiary();
    if (!diary) return Refused;
    // The cycles of a locked diary come out as plain as an export.
    if (diary->store())
        context.err << QStringLiteral("注意：") << oneLine(transfer::kNotSealedWarning) << Qt::endl;
    const Result<std::vector<history::Cycle>> cycles = attempt([&] { return history::allCycles(*diary); });
    if (!cycles) {
        context.err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを読めません：") << cycles.message() << Qt::endl;
        return Refused;
    }
    // Plain line feeds whatever the platform, for scripts and spreadsheets alike.
    context.out << history::kCsvHeader << '\n';
    for (const history::Cycle& cycle : cycles.value()) context.out << history::csvLine(cycle) << '\n';
    context.out.flush();
    return Success;
}

}  // namespace

std::vector<Command> historyCommands() { return {{{kCycles}, 0, printCycles}}; }

}  // namespace cli
