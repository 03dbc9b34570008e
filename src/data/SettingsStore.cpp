#include "data/SettingsStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/PgError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace {

using Values = QMap<QString, QVariant>;

Values valuesIn(const QString& path) {
    QSettings settings(path, QSettings::IniFormat);
    Values values;
    for (const QString& key : settings.allKeys()) values.insert(key, settings.value(key));
    return values;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

[[noreturn]] void refuse() {
    throw PgError(PgError::PermissionDenied, QStringLiteral("設定を保存できません。"));
}

}  // namespace

SettingsStore::SettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString SettingsStore::defaultFilePath() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, settingkeys::kApplication,
                     settingkeys::kApplication)
        .fileName();
}

QString SettingsStore::get(const QString& section, const QString& key, const QString& fallback) const {
    QSettings settings(filePath_, QSettings::IniFormat);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid()) return fallback;
    // A list (a hand-edited value with commas) reads back joined as it was written.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// QSettings writes its file without checking the final flush, so a full disk can leave a cut file that it
// reports as written. The store is therefore changed in a scratch copy and read back, before and after,
// through links QSettings has never cached; only a copy that holds every value it should replaces the file,
// in one checked step. A byte-order mark or a line QSettings cannot parse is no failure: only a failed write.
void SettingsStore::save(const QString& section, const QString& key, const QString& value) {
    const QString name = section + QLatin1Char('/') + key;
    const QFileInfo target(filePath_);
    if (!QDir().mkpath(target.absolutePath())) refuse();
    QTemporaryDir scratch(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                          QStringLiteral("-XXXXXX"));
    const QString copy = scratch.filePath(QStringLiteral("change.ini"));
    auto readBack = [&](const QString& linkName) {
        const QString link = scratch.filePath(linkName);
        if (!QFile::link(copy, link)) refuse();
        return valuesIn(link);
    };
    if (!scratch.isValid() || !AtomicFile::replace(copy, bytesOf(filePath_)).isEmpty()) refuse();
    Values expected = readBack(QStringLiteral("before.ini"));
    expected.insert(name, value);
    {
        QSettings settings(copy, QSettings::IniFormat);
        settings.setValue(name, value);
        settings.sync();
        if (settings.status() == QSettings::AccessError) refuse();
    }
    if (readBack(QStringLiteral("after.ini")) != expected) refuse();
    if (!AtomicFile::replace(filePath_, bytesOf(copy)).isEmpty()) refuse();
}
