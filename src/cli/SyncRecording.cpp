#include "cli/SyncRecording.h"

#include "data/SettingsStore.h"
#include "platform/core/PgError.h"
#include "sync/Session.h"
#include "sync/SyncSettings.h"

#include <QDateTime>

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

}  // namespace cli
