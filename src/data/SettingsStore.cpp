#include "data/SettingsStore.h"

#include "platform/core/PgError.h"

#include <QSettings>

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

void SettingsStore::save(const QString& section, const QString& key, const QString& value) {
    QSettings settings(filePath_, QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw PgError(PgError::PermissionDenied, QStringLiteral("設定を保存できません。"));
}
