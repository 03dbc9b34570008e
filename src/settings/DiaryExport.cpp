#include "settings/DiaryExport.h"

#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace diaryexport {

QString proposedPath(const QString& folder, const QDate& day) {
    return paths::inFolder(folder, jatext::compactDate(day) + QStringLiteral("s_diary"));
}

QString writeText(const QString& path, const QString& text) {
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    // The diary is intimate: the file is for its owner alone, also when it replaces a more open one.
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (written) return {};
    return QStringLiteral("ファイルに書き込めません。\r%1\r%2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
}

void run(Dialogs& dialogs, QWidget* parent, const QString& folder, const QDate& day, const QString& diary) {
    const std::optional<QString> chosen =
        dialogs.saveFile(parent, {kTitle, kFilter, proposedPath(folder, day)});
    if (!chosen || chosen->isEmpty()) return;
    const QFileInfo target(*chosen);
    if (target.isDir()) {
        dialogs.message(parent, kIsFolder, kAppTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    // Hidden files and dangling links count as existing too: nothing is replaced without asking.
    if (paths::occupied(*chosen) && !dialogs.askYesNo(parent, kOverwrite, kOverwriteTitle)) return;
    const QString failure = writeText(*chosen, diary);
    if (!failure.isEmpty()) dialogs.plain(parent, failure);
}

}  // namespace diaryexport
