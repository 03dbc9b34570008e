// The whole diary in and out from the command line: export, import, backup, restore and the check.
#include "cli/CommandLine.h"
#include "cli/LockedDiaryAccess.h"
#include "transfer/CommandLine.h"
#include "transfer/WholeExport.h"

namespace cli {
namespace {

const QCommandLineOption kExport(QStringLiteral("export"),
                                 QStringLiteral("日記の全ﾃﾞｰﾀを CSV ﾌｧｲﾙに書き出します。"),
                                 QStringLiteral("FILE"));
const QCommandLineOption kFormat(QStringLiteral("format"),
                                 QStringLiteral("書き出す形式：selvane（既定）または drip。"),
                                 QStringLiteral("selvane|drip"));
const QCommandLineOption kImport(QStringLiteral("import"),
                                 QStringLiteral("CSV ﾌｧｲﾙ（Selvane または drip の形式）を読み込みます。"),
                                 QStringLiteral("FILE"));
const QCommandLineOption kOnConflict(
    QStringLiteral("on-conflict"),
    QStringLiteral("内容の違う日：keep は自分のﾃﾞｰﾀを残し（既定）、replace はﾌｧｲﾙのﾃﾞｰﾀにします。"),
    QStringLiteral("keep|replace"));
const QCommandLineOption kBackup(
    QStringLiteral("backup"),
    QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作ります（後にﾌｫﾙﾀﾞを書くとそこへ。既定はﾃﾞｰﾀﾌｧｲﾙの横の backups）。"));
const QCommandLineOption kRestore(
    QStringLiteral("restore"), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから日記を戻します（今の日記はﾊﾞｯｸｱｯﾌﾟしてから）。"),
    QStringLiteral("FILE"));
const QCommandLineOption kCheck(
    QStringLiteral("check"),
    QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを検査し、記録のある日数と最初と最後の日を表示します。"));

// An option that belongs to another command is a usage error, not something to ignore silently.
bool stray(const QCommandLineParser& parser, Context& context, const QCommandLineOption& option) {
    if (!parser.isSet(option)) return false;
    context.err << QStringLiteral("--%1 はこのｺﾏﾝﾄﾞには使えません。").arg(option.names().constFirst())
                << Qt::endl;
    return true;
}

int runExport(const QCommandLineParser& parser, Context& context) {
    if (stray(parser, context, kOnConflict)) return Usage;
    const QString format = parser.isSet(kFormat) ? parser.value(kFormat) : QStringLiteral("selvane");
    if (format != u"selvane" && format != u"drip") {
        context.err << QStringLiteral("--format は selvane または drip です。") << Qt::endl;
        return Usage;
    }
    const transfercommands::Access access = diaryAccess(context);
    if (access.open)
        context.err << QStringLiteral("注意：") << oneLine(wholeexport::kNotSealedWarning) << Qt::endl;
    return transfercommands::exportDiary(
        context.dataPath(), parser.value(kExport),
        format == u"drip" ? diarycsv::Format::Drip : diarycsv::Format::Selvane, context.err, access);
}

int runImport(const QCommandLineParser& parser, Context& context) {
    if (stray(parser, context, kFormat)) return Usage;
    const QString policy = parser.isSet(kOnConflict) ? parser.value(kOnConflict) : QStringLiteral("keep");
    if (policy != u"keep" && policy != u"replace") {
        context.err << QStringLiteral("--on-conflict は keep または replace です。") << Qt::endl;
        return Usage;
    }
    return transfercommands::importDiary(context.dataPath(), parser.value(kImport), policy == u"replace",
                                         context.err, QDateTime::currentDateTime(), diaryAccess(context));
}

// The commands without options of their own take none of the others'.
template <int (*Run)(const QString&, const QString&, QTextStream&, const QDateTime&,
                     const transfercommands::Access&)>
int runWithFile(const QString& file, const QCommandLineParser& parser, Context& context) {
    if (stray(parser, context, kFormat) || stray(parser, context, kOnConflict)) return Usage;
    return Run(context.dataPath(), file, context.err, QDateTime::currentDateTime(), diaryAccess(context));
}

}  // namespace

std::vector<Command> transferCommands() {
    return {
        {{kExport, kFormat}, 0, runExport},
        {{kImport, kOnConflict}, 0, runImport},
        {{kBackup},
         1,
         [](const QCommandLineParser& parser, Context& context) {
             return runWithFile<transfercommands::backup>(parser.positionalArguments().value(0), parser,
                                                          context);
         }},
        {{kRestore},
         0,
         [](const QCommandLineParser& parser, Context& context) {
             return runWithFile<transfercommands::restore>(parser.value(kRestore), parser, context);
         }},
        {{kCheck},
         0,
         [](const QCommandLineParser& parser, Context& context) {
             if (stray(parser, context, kFormat) || stray(parser, context, kOnConflict)) return int(Usage);
             return transfercommands::check(context.dataPath(), context.out, context.err,
                                            diaryAccess(context));
         }},
    };
}

}  // namespace cli
