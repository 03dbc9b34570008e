#include "history/CycleStats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace history {

namespace {

std::vector<const Cycle*> latestCounted(const std::vector<Cycle>& newestFirst, int last) {
    std::vector<const Cycle*> picked;
    for (const Cycle& cycle : newestFirst) {
        if (static_cast<int>(picked.size()) >= last) break;
        if (cycle.counted()) picked.push_back(&cycle);
    }
    return picked;
}

double medianOf(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::vector<int> lengthsOf(const std::vector<const Cycle*>& cycles) {
    std::vector<int> lengths;
    lengths.reserve(cycles.size());
    for (const Cycle* cycle : cycles) lengths.push_back(*cycle->length);
    return lengths;
}

}  // namespace

std::optional<Summary> summarize(const std::vector<Cycle>& newestFirst, int last) {
    const std::vector<const Cycle*> cycles = latestCounted(newestFirst, last);
    if (static_cast<int>(cycles.size()) < kFewestForFigures) return std::nullopt;
    const std::vector<int> lengths = lengthsOf(cycles);
    const double n = static_cast<double>(lengths.size());
    Summary summary;
    summary.cycles = static_cast<int>(lengths.size());
    summary.mean = std::accumulate(lengths.begin(), lengths.end(), 0.0) / n;
    summary.median = medianOf(lengths);
    summary.shortest = *std::min_element(lengths.begin(), lengths.end());
    summary.longest = *std::max_element(lengths.begin(), lengths.end());
    double squares = 0;
    for (int length : lengths) squares += (length - summary.mean) * (length - summary.mean);
    summary.deviation = std::sqrt(squares / (n - 1));
    double bleeding = 0;
    double afterShift = 0;
    int shifts = 0;
    for (const Cycle* cycle : cycles) {
        bleeding += cycle->bleedingDays;
        if (const auto days = cycle->daysAfterShift()) {
            afterShift += *days;
            ++shifts;
        }
    }
    summary.meanBleedingDays = bleeding / n;
    if (shifts > 0) summary.meanDaysAfterShift = afterShift / shifts;
    return summary;
}

std::optional<HistoryCycle> historyCycle(const std::vector<Cycle>& newestFirst) {
    const std::vector<const Cycle*> cycles = latestCounted(newestFirst, kForecastCycles);
    if (static_cast<int>(cycles.size()) < kFewestForFigures) return std::nullopt;
    const std::vector<int> lengths = lengthsOf(cycles);
    HistoryCycle result;
    result.days = static_cast<int>(std::floor(medianOf(lengths) + 0.5));
    result.shortest = *std::min_element(lengths.begin(), lengths.end());
    result.longest = *std::max_element(lengths.begin(), lengths.end());
    result.cycles = static_cast<int>(lengths.size());
    return result;
}

}  // namespace history
