#include "transfer/DiaryCsv.h"

#include "transfer/Csv.h"

#include <QLocale>

namespace transfer {
namespace {

const QString kConditionLabel = QStringLiteral("体調：");
const QString kMedicationLabel = QStringLiteral("薬：");
const QString kScheduleLabel = QStringLiteral("予定：");

QString flagText(const std::optional<bool>& flag) {
    if (!flag) return QString();
    return *flag ? QStringLiteral("1") : QStringLiteral("0");
}

void appendLine(QByteArray& out, const QStringList& fields, const char* lineEnd) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        appendCsvField(out, fields[i]);
    }
    out += lineEnd;
}

}  // namespace

const QStringList& dripKnownColumns() {
    static const QStringList columns = {
        "date",
        "temperature.value",
        "temperature.exclude",
        "temperature.time",
        "temperature.note",
        "isCycleStart",
        "bleeding.value",
        "bleeding.exclude",
        "mucus.feeling",
        "mucus.texture",
        "mucus.value",
        "mucus.exclude",
        "cervix.opening",
        "cervix.firmness",
        "cervix.position",
        "cervix.exclude",
        "note.value",
        "desire.value",
        "sex.solo",
        "sex.partner",
        "sex.condom",
        "sex.pill",
        "sex.iud",
        "sex.patch",
        "sex.ring",
        "sex.implant",
        "sex.diaphragm",
        "sex.none",
        "sex.other",
        "sex.note",
        "pain.cramps",
        "pain.ovulationPain",
        "pain.headache",
        "pain.backache",
        "pain.nausea",
        "pain.tenderBreasts",
        "pain.migraine",
        "pain.other",
        "pain.note",
        "mood.happy",
        "mood.sad",
        "mood.stressed",
        "mood.balanced",
        "mood.fine",
        "mood.anxious",
        "mood.energetic",
        "mood.fatigue",
        "mood.angry",
        "mood.other",
        "mood.note",
    };
    return columns;
}

QByteArray csvStart(CsvFormat format, bool marks) {
    QByteArray out;
    if (format == CsvFormat::Selvane) {
        out = "\xEF\xBB\xBF";  // so that spreadsheets open the Japanese intact
        appendLine(out, marks ? kSelvaneColumns + QStringList{kExcludedColumn} : kSelvaneColumns, "\r\n");
    } else {
        appendLine(out, kDripColumns, "\n");
    }
    return out;
}

QString temperatureText(double value) { return QString::number(value, 'f', QLocale::FloatingPointShortest); }

void appendCsvRow(QByteArray& out, CsvFormat format, const StoredRow& row, bool marks) {
    const QString temp = row.temp ? temperatureText(*row.temp) : QString();
    if (format == CsvFormat::Selvane) {
        QStringList fields{row.date,     temp,      row.condition,       row.memo,
                           row.schedule, row.diary, flagText(row.guest), flagText(row.love)};
        if (marks) fields.append(flagText(row.excluded));
        appendLine(out, fields, "\r\n");
        return;
    }
    // drip wants the exclusion mark beside every value it excludes by; a day without a value has neither.
    const bool bleeding = row.guest.value_or(false);
    const QString note = joinNote({row.condition, row.memo, row.schedule, row.diary});
    appendLine(out,
               {row.date, temp, row.temp ? QStringLiteral("false") : QString(),
                bleeding ? QStringLiteral("2") : QString(), bleeding ? QStringLiteral("false") : QString(),
                row.love.value_or(false) ? QStringLiteral("true") : QString(), note},
               "\n");
}

QString joinNote(const NoteParts& parts) {
    if (parts.condition.isEmpty() && parts.medication.isEmpty() && parts.schedule.isEmpty())
        return parts.diary;
    QString note = kConditionLabel + parts.condition + u'\n' + kMedicationLabel + parts.medication + u'\n' +
                   kScheduleLabel + parts.schedule;
    if (!parts.diary.isEmpty()) note += QStringLiteral("\n\n") + parts.diary;
    return note;
}

NoteParts splitNote(const QString& note) {
    NoteParts parts;
    parts.diary = note;
    const QStringList lines = note.split(u'\n');
    if (lines.size() < 3 || !lines[0].startsWith(kConditionLabel) || !lines[1].startsWith(kMedicationLabel) ||
        !lines[2].startsWith(kScheduleLabel))
        return parts;
    // Written here: three labelled lines, then nothing or a blank line and the diary.
    if (lines.size() > 3 && (lines.size() < 5 || !lines[3].isEmpty())) return parts;
    parts.condition = lines[0].mid(kConditionLabel.size());
    parts.medication = lines[1].mid(kMedicationLabel.size());
    parts.schedule = lines[2].mid(kScheduleLabel.size());
    parts.diary = lines.size() > 3 ? lines.mid(4).join(u'\n') : QString();
    return parts;
}

}  // namespace transfer
