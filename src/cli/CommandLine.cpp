#include "cli/CommandLine.h"

#include "data/SettingsStore.h"
#include "home/DiaryHome.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Paths.h"
#include "platform/core/Version.h"
#include "transfer/Backups.h"

#include <fcntl.h>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace cli {

QString Context::dataPath() const { return paths::inFolder(appFolder, QStringLiteral("selvane.mdb")); }

namespace {

// Qt's own single-dash options, which the window takes (a session manager starts it with -session): those
// followed by a value, and those without one. Both also come as -name=value.
const QStringList kQtOptionsWithValue = {QStringLiteral("platform"),
                                         QStringLiteral("platformpluginpath"),
                                         QStringLiteral("platformtheme"),
                                         QStringLiteral("plugin"),
                                         QStringLiteral("qwindowgeometry"),
                                         QStringLiteral("geometry"),
                                         QStringLiteral("qwindowtitle"),
                                         QStringLiteral("title"),
                                         QStringLiteral("qwindowicon"),
                                         QStringLiteral("icon"),
                                         QStringLiteral("session"),
                                         QStringLiteral("display"),
                                         QStringLiteral("name"),
                                         QStringLiteral("style"),
                                         QStringLiteral("stylesheet"),
                                         QStringLiteral("qmljsdebugger")};
const QStringList kQtOptionsAlone = {QStringLiteral("reverse"),     QStringLiteral("testability"),
                                     QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                     QStringLiteral("dograb"),      QStringLiteral("sync")};

bool isShortFlag(const QString& argument) {
    return argument == QLatin1String("-h") || argument == QLatin1String("-v") ||
           argument == QLatin1String("-?");
}

}  // namespace

bool wanted(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.startsWith(QLatin1String("--")) || isShortFlag(argument)) return true;
        if (!argument.startsWith(u'-') || argument.size() < 2) continue;
        // A single dash: Qt's own option goes to the window; anything else (a typo such as -export) is the
        // command line's to refuse, never a window that no display may carry.
        const QString name = argument.mid(1).section(u'=', 0, 0);
        if (kQtOptionsAlone.contains(name) || (kQtOptionsWithValue.contains(name) && argument.contains(u'=')))
            continue;
        if (!kQtOptionsWithValue.contains(name)) return true;
        ++i;  // its value
    }
    return false;
}

namespace {

// Standard error carries the program's own messages only; Qt's notes about the environment would confuse a
// script reading it.
void keepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int run(int argc, char** argv) {
    qInstallMessageHandler(keepQuiet);
    // No window is ever opened here; fonts and PDF output still need the GUI layer, so it runs offscreen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("selvane"));
    QGuiApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Selvane: 基礎体温と体調の日記。オプションなしで起動するとウィンドウが開きます。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("この使い方を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("バージョンを表示します。"));
    const QCommandLineOption passphraseFd(
        QStringLiteral("passphrase-fd"),
        QStringLiteral("ﾊﾟｽﾜｰﾄﾞをこのﾌｧｲﾙ記述子から一行ずつ読みます（既定は端末で尋ねます）。"),
        QStringLiteral("N"));
    QList<QCommandLineOption> options = {help, version, passphraseFd};
    const std::vector<Command> all = commands();
    for (const Command& command : all) options.append(command.options);
    parser.addOptions(options);

    // Qt has taken its own options out of the arguments by now: any other single-dash word is a slip.
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--")) break;
        if (argument.startsWith(QLatin1String("--"))) {
            const QString name = argument.mid(2).section(u'=', 0, 0);
            if (argument.contains(u'=')) continue;
            for (const QCommandLineOption& option : options)  // its value follows
                if (option.names().contains(name) && !option.valueName().isEmpty()) ++i;
            continue;
        }
        if (argument.startsWith(u'-') && argument.size() > 1 && !isShortFlag(argument)) {
            err << QStringLiteral(
                       "「%1」は使えません。ｵﾌﾟｼｮﾝは「--」で始めます（--help で使い方を表示します）。")
                       .arg(argument)
                << Qt::endl;
            return Usage;
        }
    }
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return Usage;
    }
    // An option given twice would be taken once, silently: which of two files was meant is hers to say.
    for (const QCommandLineOption& option : options) {
        qsizetype given = 0;
        for (const QString& name : parser.optionNames()) given += option.names().contains(name) ? 1 : 0;
        if (given > 1) {
            err << QStringLiteral("--%1 は一度だけ指定して下さい。").arg(option.names().constLast())
                << Qt::endl;
            return Usage;
        }
    }
    const auto takesThem = [&] {
        for (const Command& command : all)
            if (command.positional > 0 && parser.isSet(command.options.constFirst()))
                return parser.positionalArguments().size() <= command.positional;
        return false;
    };
    if (!parser.positionalArguments().isEmpty() && !takesThem()) {
        err << QStringLiteral("余分な引数があります: ") << parser.positionalArguments().join(QLatin1Char(' '))
            << Qt::endl;
        return Usage;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.isSet(version)) {
        out << QStringLiteral("Selvane ") << QString::fromLatin1(kVersion) << Qt::endl;
        return Success;
    }

    const Command* chosen = nullptr;
    for (const Command& command : all) {
        if (command.options.isEmpty() || !parser.isSet(command.options.constFirst())) continue;
        if (chosen) {
            err << QStringLiteral("コマンドは一度に一つだけ指定して下さい。") << Qt::endl;
            return Usage;
        }
        chosen = &command;
    }
    if (!chosen) {
        err << QStringLiteral("コマンドが指定されていません。--help で使い方を表示します。") << Qt::endl;
        return Usage;
    }
    // Each command takes its own options only.
    for (const Command& command : all) {
        if (&command == chosen) continue;
        for (qsizetype i = 1; i < command.options.size(); ++i) {
            if (!parser.isSet(command.options.at(i))) continue;
            err << QStringLiteral("--%1 はこのｺﾏﾝﾄﾞには使えません。")
                       .arg(command.options.at(i).names().constFirst())
                << Qt::endl;
            return Usage;
        }
    }
    SettingsStore settings;
    const diaryhome::Start start =
        diaryhome::look(diaryfolder::thisBuild(), diaryfolder::Surroundings::ofThisRun(), settings);
    Context context{start.folder, out, err};
    if (parser.isSet(passphraseFd)) {
        bool number = false;
        context.passphraseFd = parser.value(passphraseFd).toInt(&number);
        if (!number || context.passphraseFd < 0 || ::fcntl(context.passphraseFd, F_GETFD) == -1) {
            err << QStringLiteral("--passphrase-fd には開いているﾌｧｲﾙ記述子の番号を指定して下さい。")
                << Qt::endl;
            return Usage;
        }
    }
    if (start.makesDiary) {
        // The window offers to copy an earlier diary in; an empty one made here would take its place.
        if (start.offer) {
            err << QStringLiteral("以前のﾃﾞｰﾀﾌｧｲﾙがあります：")
                << paths::inFolder(*start.offer, diaryfolder::kDiaryName) << Qt::endl
                << QStringLiteral("Selvane をｳｨﾝﾄﾞｳで起動すると、新しい場所へｺﾋﾟｰするかどうか尋ねます。")
                << Qt::endl;
            return Refused;
        }
        const Result<void> made = diaryhome::makeEmptyDiary(start.folder);
        if (!made) {
            err << made.message() << Qt::endl;
            return Refused;
        }
    }
    // What saves and backups killed half-way left beside the diary goes before any command.
    AtomicFile::removeStale(context.dataPath());
    transfer::removeStaleBackups(transfer::backupFolderBeside(context.dataPath()));
    return chosen->run(parser, context);
}

}  // namespace cli
