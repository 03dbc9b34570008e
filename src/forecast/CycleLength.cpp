#include "forecast/CycleLength.h"

#include "platform/core/JaText.h"

namespace forecast {

CycleLength CycleLength::fromSetting(const QString& stored) {
    return {stored, attempt([&stored] { return jatext::readWholeNumber(stored); })};
}

// Lengths from her records are counted ones (a few weeks): they always fit.
CycleLength CycleLength::fromDays(int days) { return {QString::number(days), static_cast<qint16>(days)}; }

qint16 CycleLength::days() const {
    if (!days_) throw days_.failure().error();
    return days_.value();
}

}  // namespace forecast
