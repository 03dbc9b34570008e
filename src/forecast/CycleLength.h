#pragma once

#include "platform/core/Result.h"

#include <QString>

namespace forecast {

// The cycle length the forecast and the list's marks count with: her setting's text as stored, or a length
// worked out from her records. The text is read as a 16-bit whole number once; a text that gives none keeps
// the reason, and it comes out only where the number is needed (a forecast without a period start needs
// none), so a bad setting is reported exactly where and when it always was.
class CycleLength {
  public:
    static CycleLength fromSetting(const QString& stored);
    static CycleLength fromDays(int days);

    // The length as a setting text, as the cycle panel shows it.
    const QString& text() const { return text_; }
    // The whole number of days; throws the reading's PgError (TypeMismatch, Overflow) for a text that gives
    // none.
    qint16 days() const;

    bool operator==(const CycleLength& other) const { return text_ == other.text_; }

  private:
    CycleLength(QString text, Result<qint16> days) : text_(std::move(text)), days_(std::move(days)) {}

    QString text_;
    Result<qint16> days_;
};

}  // namespace forecast
