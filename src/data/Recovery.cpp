#include "data/Recovery.h"

#include "platform/core/AtomicFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace recovery {
namespace {

const QString kDay = QStringLiteral("day");
const QString kTemp = QStringLiteral("temp");
const QString kMemo = QStringLiteral("memo");
const QString kSchedule = QStringLiteral("schedule");
const QString kCondition = QStringLiteral("condition");
const QString kDiary = QStringLiteral("diary");
const QString kLove = QStringLiteral("love");
const QString kGuest = QStringLiteral("guest");
const QString kEdited = QStringLiteral("edited");  // the fields she edited; a file without it: all of them

}  // namespace

QByteArray encode(const DayEntry& entry) {
    const QJsonObject object{{kDay, entry.date.toString(Qt::ISODate)},
                             {kTemp, entry.tempText},
                             {kMemo, entry.memo},
                             {kSchedule, entry.schedule},
                             {kCondition, entry.condition},
                             {kDiary, entry.diary},
                             {kLove, entry.love},
                             {kGuest, entry.guest},
                             {kEdited, int(entry.edited)}};
    return QJsonDocument(object).toJson();
}

std::optional<DayEntry> decode(const QByteArray& bytes) {
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    DayEntry entry;
    entry.date = QDate::fromString(object.value(kDay).toString(), Qt::ISODate);
    if (!entry.date.isValid()) return std::nullopt;
    entry.tempText = object.value(kTemp).toString();
    entry.memo = object.value(kMemo).toString();
    entry.schedule = object.value(kSchedule).toString();
    entry.condition = object.value(kCondition).toString();
    entry.diary = object.value(kDiary).toString();
    entry.love = object.value(kLove).toBool();
    entry.guest = object.value(kGuest).toBool();
    entry.edited = unsigned(object.value(kEdited).toInt(int(dayfield::All))) & dayfield::All;
    return entry;
}

QString write(const QString& path, const DayEntry& entry) { return AtomicFile::replace(path, encode(entry)); }

std::optional<DayEntry> read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return decode(file.readAll());
}

}  // namespace recovery
