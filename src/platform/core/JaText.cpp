#include "platform/core/JaText.h"

#include "platform/core/PgError.h"

#include <QLocale>
#include <cfenv>
#include <cmath>
#include <limits>

namespace jatext {

QString narrow(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFF01 + 0x21));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return out;
}

namespace {

// Plain ASCII digits, few enough to be read exactly as a whole number.
std::optional<int> plainDigits(QStringView text, qsizetype most) {
    if (text.isEmpty() || text.size() > most) return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// Spaces, an optional sign, digits with at most one point, spaces; one line end may close the text.
// Read by hand: a regular expression would load its engine into every start-up for one number.
bool isDecimal(QStringView text) {
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    qsizetype i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
    };
    skipSpaces();
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++digits;
        else if (text[i] == QLatin1Char('.') && !point)
            point = true;
        else
            break;
    }
    skipSpaces();
    return digits > 0 && i == text.size();
}

}  // namespace

std::optional<double> readDecimal(const QString& text) {
    // The list reads back its own year, month and day texts at each opening: plain digits need no
    // general parser, which costs a hundred times more.
    if (const auto digits = plainDigits(text, 9)) return double(*digits);
    const QString plain = narrow(text);
    if (!isDecimal(plain)) return std::nullopt;
    bool ok = false;
    const double value = plain.trimmed().toDouble(&ok);  // QString::toDouble is locale-independent
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

qint16 roundToWhole(double value) {
    // nearbyint honours the default rounding mode: to nearest, halves to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw PgError(PgError::Overflow, QStringLiteral("オーバーフローしました。"));
    return static_cast<qint16>(rounded);
}

qint16 readWholeNumber(const QString& text) {
    const auto value = readDecimal(text);
    if (!value) throw PgError(PgError::TypeMismatch, QStringLiteral("型が一致しません。"));
    return roundToWhole(*value);
}

float readSingle(const QString& text) {
    const auto value = readDecimal(text);
    if (!value) throw PgError(PgError::TypeMismatch, QStringLiteral("型が一致しません。"));
    if (std::fabs(*value) > std::numeric_limits<float>::max())
        throw PgError(PgError::Overflow, QStringLiteral("オーバーフローしました。"));
    return static_cast<float>(*value);
}

namespace {

// "3.65e+07" -> "36500000", "-1.5e-05" -> "-0.000015": the same digits with the point moved, since the
// program reads back only plain decimals.
QString withoutExponent(const QString& text) {
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0) return text;
    const qsizetype sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    QString digits = text.mid(sign, e - sign);
    qsizetype point = digits.indexOf(QLatin1Char('.'));
    if (point < 0)
        point = digits.size();
    else
        digits.remove(point, 1);
    point += text.mid(e + 1).toInt();
    QString plain;
    if (point <= 0)
        plain = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + digits;
    else if (point >= digits.size())
        plain = digits + QString(point - digits.size(), QLatin1Char('0'));
    else
        plain = digits.left(point) + QLatin1Char('.') + digits.mid(point);
    return text.left(sign) + plain;
}

}  // namespace

QString shortestText(float value) {
    // Seven significant digits are what a single-precision real holds; 'g' drops trailing zeros.
    return withoutExponent(QString::number(static_cast<double>(value), 'g', 7));
}

QString storedNumberText(double value) {
    if (!std::isfinite(value) || std::fabs(value) <= double(std::numeric_limits<float>::max()))
        return shortestText(static_cast<float>(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QDate readIsoDate(const QString& text) {
    // The plain form is read directly, a hundred times faster than the general date parser that takes
    // every other text.
    if (text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        const QStringView view(text);
        const auto year = plainDigits(view.first(4), 4);
        const auto month = plainDigits(view.sliced(5, 2), 2);
        const auto day = plainDigits(view.sliced(8, 2), 2);
        if (year && month && day && QDate::isValid(*year, *month, *day)) return QDate(*year, *month, *day);
    }
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

QString slashDate(const QDate& day) { return day.toString(QStringLiteral("yyyy/MM/dd")); }

QString kanjiDate(const QDate& day) {
    return QStringLiteral("%1年%2月%3日")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'));
}

QString kanjiDateWithWeekday(const QDate& day) {
    return kanjiDate(day) + QLatin1Char(' ') + weekdayLong(day);
}

QString compactDate(const QDate& day) { return day.toString(QStringLiteral("yyyyMMdd")); }

QString weekdayShort(const QDate& day) {
    if (!day.isValid()) return QString();
    static const QString names[] = {QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                    QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                    QStringLiteral("日")};
    return names[day.dayOfWeek() - 1];  // Qt counts Monday as 1
}

QString weekdayLong(const QDate& day) { return weekdayShort(day) + QStringLiteral("曜日"); }

}  // namespace jatext
