#pragma once

#include <QString>
#include <functional>
#include <vector>

// Small helpers shared by the benchmarks: timing medians and data files of a chosen size.
namespace bench {

double median(std::vector<double> values);

// Median wall time in microseconds of `runs` calls of work (after one warm-up call).
double medianMicros(int runs, const std::function<void()>& work);

// Median wall time in microseconds of each work over `runs` rounds (after one warm-up round). The works take
// turns within each round, so that load from elsewhere on the machine falls on each of them alike.
std::vector<double> interleavedMedianMicros(int runs, const std::vector<std::function<void()>>& works);

// Makes an empty data file at path and fills it with `rows` consecutive days ending on lastDay's ISO text,
// one day in six a menstruation day, all in one transaction.
void makeDataFile(const QString& path, int rows, const QString& lastDayIso);

// Prints one result row: name, figure, baseline, ratio, target.
void report(const QString& name, double value, double baseline, const QString& unit, double target);

}  // namespace bench
