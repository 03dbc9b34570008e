#include "platform/core/KeptText.h"

#include <optional>
#include <utility>

namespace {

constexpr char16_t kParagraph = 0x2029;

bool isBreak(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == kParagraph;
}

// The control's own breaks (and the frame marks of pasted rich text) as the line feeds a plain text holds.
QString plain(QString raw) {
    for (QChar& c : raw)
        if (c.unicode() == kParagraph || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1)
            c = QLatin1Char('\n');
    return raw;
}

// Where the shown positions first and last (first <= last) start in the original; nothing when the shown
// text does not follow from the original.
std::optional<std::pair<qsizetype, qsizetype>> originalSpan(const QString& original, const QString& shown,
                                                            qsizetype first, qsizetype last) {
    qsizetype i = 0;
    qsizetype from = 0;
    for (qsizetype k = 0; k < last; ++k) {
        if (k == first) from = i;
        if (i >= original.size()) return std::nullopt;
        if (shown[k].unicode() == kParagraph && isBreak(original[i])) {
            const bool crlf = original[i] == QLatin1Char('\r') && i + 1 < original.size() &&
                              original[i + 1] == QLatin1Char('\n');
            i += crlf ? 2 : 1;
        } else if (shown[k] == original[i]) {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (first == last) from = i;
    return std::make_pair(from, i);
}

}  // namespace

KeptText::KeptText(QString original, QString shown)
    : original_(std::move(original)), shown_(std::move(shown)) {}

QString KeptText::current(const QString& shownNow) const {
    if (shownNow == shown_) return original_;
    // The edited span: what lies between the longest common start and the longest common end.
    const qsizetype shorter = qMin(shown_.size(), shownNow.size());
    qsizetype head = 0;
    while (head < shorter && shown_[head] == shownNow[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && shown_[shown_.size() - 1 - tail] == shownNow[shownNow.size() - 1 - tail])
        ++tail;
    const auto span = originalSpan(original_, shown_, head, shown_.size() - tail);
    if (!span) return plain(shownNow);
    return original_.left(span->first) + plain(shownNow.mid(head, shownNow.size() - tail - head)) +
           original_.mid(span->second);
}
