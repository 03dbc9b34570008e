#include "home/DiaryHome.h"

#include "data/DataFile.h"
#include "data/Schema.h"
#include "data/SettingsStore.h"
#include "platform/core/MoveIn.h"
#include "platform/core/Paths.h"
#include "vault/LockedDiary.h"

namespace diaryhome {

Start look(diaryfolder::Build build, const diaryfolder::Surroundings& around, const SettingsStore& settings) {
    Start start;
    start.folder = diaryfolder::folderFor(build, around);
    start.makesDiary = build == diaryfolder::Build::Installed &&
                       !paths::occupied(paths::inFolder(start.folder, diaryfolder::kDiaryName));
    const bool offered = settings.get(kMoveInSection, settingkeys::kKey) == QLatin1String("1");
    start.offer = diaryfolder::moveInSource(build, around, offered);
    return start;
}

void rememberOffer(SettingsStore& settings) {
    settings.save(kMoveInSection, settingkeys::kKey, QStringLiteral("1"));
}

Result<void> checkDiary(const QString& path) {
    if (vault::isLockedFile(path)) {
        const vault::Fault fault = vault::readLockedFile(path).fault;
        if (fault != vault::Fault::None) return Failure{vault::faultText(fault)};
        return {};
    }
    const Result<DiarySpan> checked = DataFile::inspectFile(path);
    if (!checked) return checked.failure();
    return {};
}

Result<void> moveIn(const QString& from, const QString& to) {
    return movein::copyDiary(from, to, checkDiary);
}

Result<void> makeEmptyDiary(const QString& folder) {
    const QString path = paths::inFolder(folder, diaryfolder::kDiaryName);
    if (paths::occupied(path)) return {};
    Result<void> made = diaryfolder::make(folder);
    if (!made) return made;
    QString reason;
    if (!schema::createEmptyDataFile(path, &reason))
        return Failure{QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを作れません：%1（%2）").arg(path, reason),
                       int(PgError::PathAccess)};
    return {};
}

}  // namespace diaryhome
