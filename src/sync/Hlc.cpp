#include "sync/Hlc.h"

#include <QDateTime>

namespace syncing {

HybridClock::HybridClock(quint64 last, std::function<qint64()> nowMs)
    : last_(last), nowMs_(nowMs ? std::move(nowMs) : [] { return QDateTime::currentMSecsSinceEpoch(); }) {}

quint64 HybridClock::tick() {
    last_ = qMax(last_ + 1, fromMs(nowMs_()));
    return last_;
}

void HybridClock::observe(quint64 remote) { last_ = qMax(last_, remote); }

}  // namespace syncing
