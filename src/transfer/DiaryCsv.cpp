#include "transfer/DiaryCsv.h"

#include "transfer/Csv.h"
#include "transfer/DripCsv.h"

#include <QLocale>

namespace transfer {
namespace {

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
        appendDripRow(out, kDripColumns);
    }
    return out;
}

QString temperatureText(double value) { return QString::number(value, 'f', QLocale::FloatingPointShortest); }

void appendCsvRow(QByteArray& out, const StoredRow& row, bool marks) {
    QStringList fields{row.date,
                       row.temp ? temperatureText(*row.temp) : QString(),
                       row.condition,
                       row.memo,
                       row.schedule,
                       row.diary,
                       flagText(row.guest),
                       flagText(row.love)};
    if (marks) fields.append(flagText(row.excluded));
    appendLine(out, fields, "\r\n");
}

void appendDripRow(QByteArray& out, const QStringList& cells) {
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i) out += ',';
        appendDripField(out, cells[i]);
    }
    out += '\n';
}

}  // namespace transfer
