#include "transfer/ImportCheck.h"

#include "forecast/CycleRules.h"
#include "platform/core/JaText.h"
#include "transfer/Csv.h"
#include "transfer/DripCsv.h"
#include "transfer/DripDay.h"
#include "transfer/TextDecoding.h"

#include "transfer/DayIndex.h"

#include <QHash>
#include <charconv>
#include <variant>

namespace transfer {
namespace {

using Format = CsvFormat;

// ISO days as written here, and the slashes and unpadded numbers a spreadsheet writes when it saves again.
QDate readDay(QStringView text) {
    text = text.trimmed();
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    QChar separator;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            if (++digits[part] > 4) return {};
            numbers[part] = numbers[part] * 10 + (c.unicode() - u'0');
        } else if ((c == u'-' || c == u'/') && part < 2 && (separator.isNull() || c == separator)) {
            separator = c;
            ++part;
        } else {
            return {};
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] < 1 || digits[1] > 2 || digits[2] < 1 || digits[2] > 2)
        return {};
    return QDate(numbers[0], numbers[1], numbers[2]);
}

// A temperature: plain digits with a point read at once; anything else (full-width digits, spaces) as the
// program reads a number typed into the entry.
std::optional<double> readTemperature(const QString& text) {
    char plain[32];
    bool simple = !text.isEmpty() && text.size() < qsizetype(sizeof plain);
    for (qsizetype i = 0; simple && i < text.size(); ++i) {
        const QChar c = text[i];
        simple = (c >= u'0' && c <= u'9') || c == u'.';
        plain[i] = char(c.unicode());
    }
    if (simple) {
        double value = 0;
        const auto [end, error] = std::from_chars(plain, plain + text.size(), value);
        if (error == std::errc() && end == plain + text.size()) return value;
    }
    return jatext::readDecimal(text);
}

// A flag: 0/1 or true/false in any case; an empty cell is not set.
std::optional<bool> readFlag(const QString& text) {
    if (text.size() == 1 && (text[0] == u'0' || text[0] == u'1')) return text[0] == u'1';
    const QString value = text.trimmed().toLower();
    if (value.isEmpty() || value == u"0" || value == u"false") return false;
    if (value == u"1" || value == u"true") return true;
    return std::nullopt;
}

struct Problem {
    QString what;
};

// The file refused for what is wrong with one of its lines ("12行目：…"; counted from 1).
Failure refuse(int line, const QString& problem) {
    return Failure{QStringLiteral("%1行目：%2").arg(line).arg(problem)};
}

class Checker {
  public:
    explicit Checker(Format format, const QStringList& header) : format_(format) {
        for (qsizetype i = 0; i < header.size(); ++i) column_.insert(header[i].trimmed(), int(i));
        columns_ = int(header.size());
        date_ = index("date");
        guest_ = index("menstruation");
        love_ = index("intercourse");
        excluded_ = index("excluded");
    }

    // The day of one record, or the problem with it.
    std::variant<DayRecord, Problem> read(const QStringList& fields) const {
        if (fields.size() != columns_)
            return Problem{QStringLiteral("列の数が %1 ではありません（%2 列あります）。")
                               .arg(columns_)
                               .arg(fields.size())};
        DayRecord day;
        const QString& dateText = fields[date_];
        day.date = readDay(dateText);
        if (!day.date.isValid())
            return Problem{QStringLiteral("日付「%1」は実在する日ではありません。").arg(dateText)};
        const QString tempText =
            cell(fields, format_ == Format::Selvane ? "temperature" : "temperature.value");
        if (!tempText.trimmed().isEmpty()) {
            const auto temp = readTemperature(tempText);
            if (!temp) return Problem{QStringLiteral("体温「%1」は数ではありません。").arg(tempText)};
            day.temp = *temp;
        }
        return format_ == Format::Selvane ? readSelvane(fields, day) : readDrip(fields, day);
    }

  private:
    int index(const char* name) const { return column_.value(QLatin1String(name), -1); }
    QString cell(const QStringList& fields, const char* name) const {
        const int at = index(name);
        return at < 0 ? QString() : fields[at];
    }

    std::optional<Problem> flag(const QStringList& fields, const char* name, bool* out) const {
        const auto value = readFlag(cell(fields, name));
        if (!value)
            return Problem{QStringLiteral("%1 の値「%2」は 0/1/true/false のどれでもありません。")
                               .arg(QLatin1String(name), cell(fields, name))};
        *out = *value;
        return std::nullopt;
    }

    std::variant<DayRecord, Problem> readSelvane(const QStringList& fields, DayRecord day) const {
        day.condition = fields[2];
        day.memo = fields[3];
        day.schedule = fields[4];
        day.diary = fields[5];
        for (const auto& [at, out] :
             {std::pair{guest_, &day.guest}, {love_, &day.love}, {excluded_, &day.excluded}}) {
            if (at < 0) continue;  // a file without marks
            const auto value = readFlag(fields[at]);
            if (!value)
                return Problem{QStringLiteral("%1 の値「%2」は 0/1/true/false のどれでもありません。")
                                   .arg(at < kSelvaneColumns.size() ? kSelvaneColumns[at] : kExcludedColumn,
                                        fields[at])};
            *out = *value;
        }
        return day;
    }

    std::variant<DayRecord, Problem> readDrip(const QStringList& fields, DayRecord day) const {
        bool excluded = false;
        bool disturbed = false;
        for (const auto& [name, out] : {std::pair{"temperature.exclude", &disturbed},
                                        {"bleeding.exclude", &excluded},
                                        {"sex.partner", &day.love}}) {
            if (auto problem = flag(fields, name, out)) return *problem;
        }
        // A reading drip excludes is her disturbed reading here.
        day.excluded = disturbed && day.temp;
        // drip counts every bleeding it does not exclude, spotting (0) too, as a period day.
        const QString bleeding = cell(fields, "bleeding.value").trimmed();
        if (!bleeding.isEmpty()) {
            bool ok = false;
            const int value = bleeding.toInt(&ok);
            if (!ok || value < 0 || value > 3)
                return Problem{
                    QStringLiteral("bleeding.value の値「%1」は 0～3 のどれでもありません。").arg(bleeding)};
            day.guest = !excluded;
        }
        const NoteParts note = splitNote(cell(fields, "note.value"));
        day.condition = note.condition;
        day.memo = note.medication;
        day.schedule = note.schedule;
        day.diary = withDripNotes(note.diary, {cell(fields, "temperature.note"), cell(fields, "sex.note"),
                                               cell(fields, "pain.note"), cell(fields, "mood.note")});
        return day;
    }

    Format format_;
    QHash<QString, int> column_;
    int columns_ = 0;
    int date_ = -1;
    int guest_ = -1;
    int love_ = -1;
    int excluded_ = -1;
};

// Which file this is, from its header: Selvane's columns exactly, or any of drip's with the date among them.
std::optional<Format> formatOf(const QStringList& header) {
    QStringList names;
    for (const QString& name : header) names.append(name.trimmed());
    if (names == kSelvaneColumns || names == kSelvaneColumns + QStringList{kExcludedColumn})
        return Format::Selvane;
    if (!names.contains(QStringLiteral("date"))) return std::nullopt;
    for (const QString& name : names)
        if (!dripKnownColumns().contains(name) || names.count(name) > 1) return std::nullopt;
    return Format::Drip;
}

}  // namespace

QString implausibleText(qint64 days) {
    return days > 0 ? forecast::plausibleReadingsText() + QStringLiteral(" の範囲にない体温：%1日").arg(days)
                    : QString();
}

QStringList importNotes(const ImportFile& file) {
    QStringList lines;
    if (file.implausible > 0) lines.append(implausibleText(file.implausible));
    if (file.nothingKept > 0)
        lines.append(QStringLiteral("Selvane に残すもののない drip の日（読み込みません）：%1日")
                         .arg(file.nothingKept));
    return lines;
}

namespace {

bool isEmptyDay(const DayRecord& day) {
    return !day.temp && !day.guest && !day.love && day.condition.isEmpty() && day.memo.isEmpty() &&
           day.schedule.isEmpty() && day.diary.isEmpty();
}

// Every line after the header, as the reader of the file's format reads it.
template <typename Reader>
Result<ImportFile> readDays(Reader& reader, const Checker& checker, ImportFile result, qint64 total,
                            const DataFile::Progress& progress) {
    DayIndex seen;  // day -> the line it was first on
    CsvRecord record;
    qint64 count = 0;
    while (reader.next(&record)) {
        auto day = checker.read(record.fields);
        if (auto* problem = std::get_if<Problem>(&day)) return refuse(record.line, problem->what);
        DayRecord& read = std::get<DayRecord>(day);
        int& first = seen[read.date];
        if (first)
            return refuse(
                record.line,
                QStringLiteral("%1 は %2行目と同じ日です。").arg(read.date.toString(Qt::ISODate)).arg(first));
        first = record.line;
        if (progress && ++count % 4096 == 0 && !progress(reader.position(), total)) return Failure::cancel();
        // A day of drip's with nothing Selvane keeps would come in as an empty row.
        if (result.format == Format::Drip && isEmptyDay(read)) {
            ++result.nothingKept;
            continue;
        }
        if (read.temp && !forecast::isPlausibleReading(*read.temp)) ++result.implausible;
        result.days.push_back(std::move(read));
    }
    if (!reader.error().isEmpty()) return refuse(reader.errorLine(), reader.error());
    return result;
}

}  // namespace

Result<ImportFile> checkImport(const QByteArray& bytes, const DataFile::Progress& progress) {
    const DecodedText text = decodeText(bytes);
    if (!text.ok) return refuse(text.badLine, QStringLiteral("文字として読めないﾊﾞｲﾄがあります。"));
    ImportFile result;
    result.encoding = text.encoding;
    CsvReader reader(text.text);
    CsvRecord record;
    if (!reader.next(&record)) {
        if (!reader.error().isEmpty()) return refuse(reader.errorLine(), reader.error());
        return refuse(1, QStringLiteral("空のﾌｧｲﾙです。"));
    }
    const std::optional<Format> format = formatOf(record.fields);
    if (!format)
        return refuse(record.line,
                      QStringLiteral("見出しの行が違います。「%1」または drip の列名が必要です。")
                          .arg(kSelvaneColumns.join(u',')));
    result.format = *format;
    // Selvane CSV with its last column, or drip's with its temperature.exclude, says which readings are
    // marked.
    result.marks = *format == Format::Selvane ? record.fields.size() > kSelvaneColumns.size()
                                              : record.fields.contains(QStringLiteral("temperature.exclude"));
    const Checker checker(*format, record.fields);
    if (*format == Format::Selvane)
        return readDays(reader, checker, std::move(result), text.text.size(), progress);
    // A drip file is read as drip reads it, from its header on.
    DripCsvReader drip(text.text);
    drip.next(&record);
    return readDays(drip, checker, std::move(result), text.text.size(), progress);
}

}  // namespace transfer
