#pragma once

#include <QString>

// The per-user settings store: text values addressed by section and key under the application
// "SELVANE", kept in an INI file in the user's configuration folder.
class SettingsStore {
  public:
    explicit SettingsStore(QString filePath = defaultFilePath());
    static QString defaultFilePath();

    // The stored text, or fallback when the key is absent.
    QString get(const QString& section, const QString& key, const QString& fallback = QString()) const;
    // Creates or overwrites the key and writes it to disk; throws PgError when the store cannot be written.
    void save(const QString& section, const QString& key, const QString& value);

    const QString& filePath() const { return filePath_; }

  private:
    QString filePath_;
};

namespace settingkeys {
inline const QString kApplication = QStringLiteral("SELVANE");
inline const QString kCycleSection = QStringLiteral("G_CYCLE");
inline const QString kTempSection = QStringLiteral("AVE_TEMP");
inline const QString kKey = QStringLiteral("DATA");
inline const QString kCycleDefault = QStringLiteral("28");
inline const QString kTempDefault = QStringLiteral("36.5");
}  // namespace settingkeys
