#pragma once

#include <QtGlobal>
#include <functional>

// A hybrid logical clock: milliseconds of wall time in the high bits, a counter in the low 16. It never goes
// back, stays close to wall time, and moves past every time it has seen from another computer, so a computer
// whose clock runs a year ahead wins only until the others have read one of its changes.
namespace syncing {

class HybridClock {
  public:
    explicit HybridClock(quint64 last = 0, std::function<qint64()> nowMs = {});

    // The time of a change made here now: later than every time given or seen before.
    quint64 tick();
    // Takes in a time read from another computer.
    void observe(quint64 remote);
    quint64 last() const { return last_; }

    static quint64 fromMs(qint64 ms) { return quint64(qMax<qint64>(ms, 0)) << 16; }
    static qint64 toMs(quint64 time) { return qint64(time >> 16); }

  private:
    quint64 last_;
    std::function<qint64()> nowMs_;
};

}  // namespace syncing
