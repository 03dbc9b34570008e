#include "data/DayChange.h"

#include "platform/core/JaText.h"

namespace daychange {

unsigned differing(const DayRecord& a, const DayRecord& b) {
    unsigned fields = 0;
    if (a.temp != b.temp) fields |= dayfield::Temp;
    if (a.memo != b.memo) fields |= dayfield::Memo;
    if (a.schedule != b.schedule) fields |= dayfield::Schedule;
    if (a.condition != b.condition) fields |= dayfield::Condition;
    if (a.diary != b.diary) fields |= dayfield::Diary;
    if (a.love != b.love) fields |= dayfield::Love;
    if (a.guest != b.guest) fields |= dayfield::Guest;
    return fields;
}

unsigned conflicts(const DayEntry& entry, const DayRecord& shown, const DayRecord& found) {
    DayRecord hers = found;
    hers.temp = jatext::readDecimal(entry.tempText);
    hers.memo = entry.memo;
    hers.schedule = entry.schedule;
    hers.condition = entry.condition;
    hers.diary = entry.diary;
    hers.love = entry.love;
    hers.guest = entry.guest;
    return entry.edited & differing(shown, found) & differing(hers, found);
}

}  // namespace daychange
