#include "cli/CommandLine.h"

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

bool wanted(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-h") ||
            argument == QLatin1String("-v") || argument == QLatin1String("-?"))
            return true;
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
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(passphraseFd);
    const std::vector<Command> all = commands();
    for (const Command& command : all) parser.addOptions(command.options);

    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << Qt::endl;
        return Usage;
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
    Context context{paths::applicationFolder(), out, err};
    if (parser.isSet(passphraseFd)) {
        bool number = false;
        context.passphraseFd = parser.value(passphraseFd).toInt(&number);
        if (!number || context.passphraseFd < 0 || ::fcntl(context.passphraseFd, F_GETFD) == -1) {
            err << QStringLiteral("--passphrase-fd には開いているﾌｧｲﾙ記述子の番号を指定して下さい。")
                << Qt::endl;
            return Usage;
        }
    }
    // What saves and backups killed half-way left beside the diary goes before any command.
    AtomicFile::removeStale(context.dataPath());
    transfer::removeStaleBackups(transfer::backupFolderBeside(context.dataPath()));
    return chosen->run(parser, context);
}

}  // namespace cli
