#include "cli/SyncRecording.h"

#include "cli/CommandLine.h"
#include "cli/DiaryAccess.h"
#include "vault/FolderSeal.h"

#include "data/SettingsStore.h"
#include "platform/core/PgError.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"

#include <QDateTime>
#include <QFileInfo>

namespace cli {

SyncRecording::SyncRecording(DataFile& file) {
    try {
        SettingsStore store;
        const syncing::Settings settings = syncing::readSettings(store);
        if (settings.folder.isEmpty()) return;
        session_ = std::make_unique<syncing::Session>(file, settings.folder, settings.id, settings.name,
                                                      [] { return QDateTime::currentMSecsSinceEpoch(); });
        if (!session_->start()) session_.reset();
    } catch (const PgError&) {
        session_.reset();  // the next run's start records what this one changed
    }
}

SyncRecording::~SyncRecording() {
    if (session_) static_cast<void>(session_->flushAndNote());
}

void sealSyncFolderWith(Context& context, const vault::Secret& passphrase) {
    SettingsStore store;
    const Result<syncing::Settings> settings = attempt([&] { return syncing::readSettings(store); });
    if (!settings || settings->folder.isEmpty()) return;
    if (!QFileInfo(settings->folder).isDir()) {
        context.err << QStringLiteral(
                           "注意：同期ﾌｫﾙﾀﾞが見つからないので、新しいﾊﾟｽﾜｰﾄﾞで暗号化していません。")
                    << Qt::endl;
        return;
    }
    const Result<std::unique_ptr<syncing::Sealer>> sealed =
        vault::folderSealed(settings->folder) ? vault::resealFolder(settings->folder, passphrase)
                                              : vault::openFolderSeal(settings->folder, passphrase);
    if (!sealed) {
        context.err << QStringLiteral("注意：同期ﾌｫﾙﾀﾞを新しいﾊﾟｽﾜｰﾄﾞで暗号化できませんでした。")
                    << oneLine(sealed.message()) << Qt::endl;
        return;
    }
    context.err << QStringLiteral(
                       "同期ﾌｫﾙﾀﾞも新しいﾊﾟｽﾜｰﾄﾞで暗号化しました。ほかのﾊﾟｿｺﾝでは新しいﾊﾟｽﾜｰﾄﾞを尋ねます。")
                << Qt::endl;
}

}  // namespace cli
