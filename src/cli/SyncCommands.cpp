// Her diary kept in step from the command line: --sync-folder DIR sets the folder (an empty DIR turns the
// sync off), --sync merges once and says what changed.
#include "cli/CliPaths.h"
#include "cli/CommandLine.h"
#include "cli/DiaryAccess.h"

#include "data/DataFile.h"
#include "data/SettingsStore.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"
#include "vault/FolderSeal.h"

#include <QDateTime>
#include <QFileInfo>

namespace cli {
namespace {

const QCommandLineOption kSyncFolder(QStringLiteral("sync-folder"),
                                     QStringLiteral("日記をほかのﾊﾟｿｺﾝと同期するﾌｫﾙﾀﾞを設定します（空にすると"
                                                    "同期をやめます）。"),
                                     QStringLiteral("DIR"));
const QCommandLineOption kSync(
    QStringLiteral("sync"), QStringLiteral("同期ﾌｫﾙﾀﾞの記録と日記を一度合わせ、変わったことを表示します。"));

bool onlyItself(const QCommandLineParser& parser, const QCommandLineOption& option, Context& context) {
    for (const QString& name : parser.optionNames()) {
        if (name == option.names().constFirst() || name == QLatin1String("passphrase-fd")) continue;
        context.err << QStringLiteral("--%1 はこのｺﾏﾝﾄﾞには使えません。").arg(name) << Qt::endl;
        return false;
    }
    return true;
}

int setSyncFolder(const QCommandLineParser& parser, Context& context) {
    if (!onlyItself(parser, kSyncFolder, context)) return Usage;
    const QString given = parser.value(kSyncFolder);
    QString folder;
    if (!given.isEmpty()) {
        const QFileInfo info(argumentPath(given));
        if (!info.isDir()) {
            context.err << QStringLiteral("ﾌｫﾙﾀﾞがありません：") << shownPath(info.absoluteFilePath())
                        << Qt::endl;
            return Refused;
        }
        folder = info.absoluteFilePath();
        const QString unusable = syncing::unusableFolder(folder, context.appFolder);
        if (!unusable.isEmpty()) {
            context.err << unusable << shownPath(folder) << Qt::endl;
            return Refused;
        }
    }
    SettingsStore store;
    const Result<void> saved = attempt([&] { syncing::setFolder(store, folder); });
    if (!saved) {
        context.err << QStringLiteral("設定を保存できません：") << saved.message() << Qt::endl;
        return Refused;
    }
    if (folder.isEmpty())
        context.out << QStringLiteral("同期をやめました。") << Qt::endl;
    else
        context.out << QStringLiteral("同期ﾌｫﾙﾀﾞ：") << shownPath(folder) << Qt::endl;
    return Success;
}

int syncOnce(const QCommandLineParser& parser, Context& context) {
    if (!onlyItself(parser, kSync, context)) return Usage;
    SettingsStore store;
    const Result<syncing::Settings> settings = attempt([&] { return syncing::readSettings(store); });
    if (!settings) {
        context.err << QStringLiteral("設定を読めません：") << settings.message() << Qt::endl;
        return Refused;
    }
    if (settings->folder.isEmpty()) {
        context.err << QStringLiteral("同期ﾌｫﾙﾀﾞが設定されていません（--sync-folder で設定して下さい）。")
                    << Qt::endl;
        return Refused;
    }
    if (!QFileInfo(settings->folder).isDir()) {
        context.err << QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません：") << shownPath(settings->folder)
                    << Qt::endl;
        return Refused;
    }
    std::optional<vault::Secret> passphrase;
    const std::unique_ptr<DataFile> diary = openDiaryKeeping(context, &passphrase);
    if (!diary) return Refused;
    // A locked diary's passphrase seals the folder too; a plain diary in a sealed folder needs its
    // passphrase.
    std::unique_ptr<syncing::Sealer> sealer;
    if (passphrase || vault::folderSealed(settings->folder)) {
        if (!passphrase) passphrase = readPassphrase(context, QStringLiteral("同期ﾌｫﾙﾀﾞのﾊﾟｽﾜｰﾄﾞ: "));
        if (!passphrase) return Refused;
        Result<std::unique_ptr<syncing::Sealer>> opened =
            vault::openFolderSeal(settings->folder, *passphrase);
        if (!opened) {
            context.err << oneLine(opened.message()) << Qt::endl;
            return Refused;
        }
        sealer = std::move(opened).value();
    }
    syncing::Session session(
        *diary, settings->folder, settings->id, settings->name,
        [] { return QDateTime::currentMSecsSinceEpoch(); }, sealer.get());
    if (const Result<void> started = session.start(); !started) {
        context.err << QStringLiteral("同期できません：") << started.message() << Qt::endl;
        return Refused;
    }
    const Result<syncing::MergeReport> merged = session.merge();
    if (!merged) {
        context.err << QStringLiteral("同期できません：") << merged.message() << Qt::endl;
        return Refused;
    }
    for (const QString& problem : merged->problems)
        context.err << QStringLiteral("注意：") << problem << Qt::endl;
    context.out << QStringLiteral("取り込んだ日：%1日").arg(merged->daysTaken.size()) << '\n'
                << QStringLiteral("競合のある日：%1日（新しい競合：%2件）")
                       .arg(session.conflicts().size())
                       .arg(merged->newConflicts)
                << '\n';
    if (!merged->computers.isEmpty())
        context.out << QStringLiteral("読んだﾊﾟｿｺﾝ：") << merged->computers.join(QStringLiteral("、"))
                    << '\n';
    context.out.flush();
    return Success;
}

}  // namespace

std::vector<Command> syncCommands() { return {{{kSyncFolder}, 0, setSyncFolder}, {{kSync}, 0, syncOnce}}; }

}  // namespace cli
