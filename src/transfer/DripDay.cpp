#include "transfer/DripDay.h"

#include "forecast/CycleRules.h"
#include "transfer/DiaryCsv.h"

#include <array>
#include <optional>

namespace transfer {
namespace {

const QString kConditionLabel = QStringLiteral("体調：");
const QString kMedicationLabel = QStringLiteral("薬：");
const QString kScheduleLabel = QStringLiteral("予定：");

// The line before drip's other notes in her diary: one she would not type herself, and one that drip's
// lower-casing leaves as it is.
const QString kNotesMarker = QStringLiteral("―― drip ――");
const QString kNoteLabels[] = {QStringLiteral("体温のﾒﾓ："), QStringLiteral("性交のﾒﾓ："),
                               QStringLiteral("痛みのﾒﾓ："), QStringLiteral("気分のﾒﾓ：")};

// The notes in the order of their labels.
std::array<const QString*, 4> inOrder(const DripNotes& notes) {
    return {&notes.temperature, &notes.sex, &notes.pain, &notes.mood};
}
std::array<QString*, 4> inOrder(DripNotes& notes) {
    return {&notes.temperature, &notes.sex, &notes.pain, &notes.mood};
}

// The note's parts when it reads as written by joinNote with labels: three labelled lines, then nothing or
// a blank line and the diary.
std::optional<NoteParts> labelledParts(const QString& note) {
    const QStringList lines = note.split(u'\n');
    if (lines.size() < 3 || !lines[0].startsWith(kConditionLabel) || !lines[1].startsWith(kMedicationLabel) ||
        !lines[2].startsWith(kScheduleLabel))
        return std::nullopt;
    if (lines.size() > 3 && (lines.size() < 5 || !lines[3].isEmpty())) return std::nullopt;
    return NoteParts{lines[0].mid(kConditionLabel.size()), lines[1].mid(kMedicationLabel.size()),
                     lines[2].mid(kScheduleLabel.size()),
                     lines.size() > 3 ? lines.mid(4).join(u'\n') : QString()};
}

}  // namespace

QString joinNote(const NoteParts& parts) {
    const bool fields =
        !parts.condition.isEmpty() || !parts.medication.isEmpty() || !parts.schedule.isEmpty();
    if (!fields && !labelledParts(parts.diary)) return parts.diary;
    QString note = kConditionLabel + parts.condition + u'\n' + kMedicationLabel + parts.medication + u'\n' +
                   kScheduleLabel + parts.schedule;
    if (!parts.diary.isEmpty()) note += QStringLiteral("\n\n") + parts.diary;
    return note;
}

NoteParts splitNote(const QString& note) {
    if (std::optional<NoteParts> parts = labelledParts(note)) return *parts;
    return NoteParts{{}, {}, {}, note};
}

QString withDripNotes(const QString& diary, const DripNotes& notes) {
    if (notes.isEmpty()) return diary;
    QString out = diary;
    if (!out.isEmpty()) out += QStringLiteral("\n\n");
    out += kNotesMarker;
    const auto texts = inOrder(notes);
    for (size_t i = 0; i < texts.size(); ++i)
        if (!texts[i]->isEmpty()) out += u'\n' + kNoteLabels[i] + *texts[i];
    return out;
}

DiaryAndNotes takeDripNotes(const QString& diary) {
    const auto untouched = [&diary] { return DiaryAndNotes{diary, {}}; };
    const qsizetype marker = diary.lastIndexOf(kNotesMarker);
    if (marker < 0) return untouched();
    DiaryAndNotes taken{diary.left(qMax<qsizetype>(0, marker - 2)), {}};
    QStringView rest = QStringView(diary).sliced(marker + kNotesMarker.size());
    const auto texts = inOrder(taken.notes);
    size_t next = 0;  // the labels come in their order, each at most once
    while (!rest.isEmpty()) {
        if (rest[0] != u'\n') return untouched();
        rest = rest.sliced(1);
        size_t label = next;
        while (label < texts.size() && !rest.startsWith(kNoteLabels[label])) ++label;
        if (label == texts.size()) return untouched();
        rest = rest.sliced(kNoteLabels[label].size());
        qsizetype end = rest.size();
        for (size_t later = label + 1; later < texts.size(); ++later) {
            const qsizetype at = rest.indexOf(u'\n' + kNoteLabels[later]);
            if (at >= 0) end = qMin(end, at);
        }
        *texts[label] = rest.first(end).toString();
        rest = rest.sliced(end);
        next = label + 1;
    }
    // Only a section exactly as withDripNotes writes it is taken, so that what comes back is the same diary.
    if (withDripNotes(taken.diary, taken.notes) != diary) return untouched();
    return taken;
}

DripLine dripLine(const StoredRow& row, const QDate& day, const QDate& today) {
    DripLine line;
    const bool future = day > today;
    const bool bleeding = row.guest.value_or(false) && !future;
    const bool sex = row.love.value_or(false) && !future;
    const bool reading = row.temp && forecast::isPlausibleReading(*row.temp) && !future;
    line.futureMarks = future && (row.temp || row.guest.value_or(false) || row.love.value_or(false));
    line.implausible = !future && row.temp && !reading;
    // drip's other notes go back to their columns where drip takes them: never on a day after today, and the
    // temperature's note only beside a reading.
    DiaryAndNotes taken = takeDripNotes(row.diary);
    if (future || (!taken.notes.temperature.isEmpty() && !reading)) taken = {row.diary, {}};
    const QString note = joinNote({row.condition, row.memo, row.schedule, taken.diary});
    if (!reading && !bleeding && !sex && note.isEmpty() && taken.notes.isEmpty()) return line;
    const QString yes = QStringLiteral("true");
    const QString no = QStringLiteral("false");
    line.cells = {row.date,
                  reading ? temperatureText(*row.temp) : QString(),
                  reading ? (row.excluded ? yes : no) : QString(),
                  taken.notes.temperature,
                  bleeding ? QStringLiteral("2") : QString(),
                  bleeding ? no : QString(),
                  sex ? yes : QString(),
                  taken.notes.sex,
                  taken.notes.pain,
                  taken.notes.mood,
                  note};
    return line;
}

}  // namespace transfer
