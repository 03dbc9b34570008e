#pragma once

#include "report/ChartModel.h"

#include <QRectF>
#include <QString>
#include <vector>

// Where everything of the chart lies on an A4 landscape page, in millimetres from the page's top left, as
// Japanese clinics lay out a 基礎体温表: the days across, the temperature grid 35.0-37.5 °C, and the rows of
// menstruation, intercourse, medication and condition under it. Pure.
namespace report {

inline constexpr double kPageWidth = 297;
inline constexpr double kPageHeight = 210;
inline constexpr double kLowestShown = 35.0;
inline constexpr double kHighestShown = 37.5;
inline constexpr double kGridStep = 0.05;     // a line each 0.05 °C
inline constexpr double kLabelledStep = 0.5;  // a bold, labelled line each 0.5 °C
// A page holds at most this many days; longer charts go on across pages, each cycle starting a page where
// it can.
inline constexpr int kMostDaysPerPage = 100;
inline constexpr double kWidestDay = 7;

// The days one page shows: indexes into the chart's days.
struct PageSpan {
    int first = 0;
    int count = 0;
};

std::vector<PageSpan> pagesOf(const ChartModel& chart, int mostDays = kMostDaysPerPage);

enum class Row { Month, Date, Weekday, CycleDay, Menstruation, Intercourse, Medication, Condition };

// The rows' names as the left column shows them (empty for the month line).
QString rowName(Row row);

struct PageGeometry {
    QRectF title;  // the title line
    QRectF names;  // the left column: row names and the temperature labels
    QRectF days;   // the day columns, from the month line to the last row
    QRectF grid;   // the temperature grid
    double dayWidth = 0;

    QRectF row(Row which) const;       // across the day columns
    QRectF nameCell(Row which) const;  // the row's name in the left column
    // A temperature's label in the left column, centred on its line: the grid keeps a margin above and
    // below, so that the labels of its edges stay clear of the rows' names.
    QRectF labelBox(double celsius) const;
    double left(int dayOnPage) const { return days.left() + dayOnPage * dayWidth; }
    // The height of a temperature, cut to the grid's edges.
    double yOf(double celsius) const;
};

PageGeometry geometryFor(int daysOnPage);

// "3月" over the first day of a page and each first of a month; nothing otherwise.
QString monthText(const ChartDay& day, bool firstOnPage);

// A text cut to at most `chars` characters (line breaks as spaces), its last one a "︙" when cut: the
// medication and condition rows write downwards in a narrow column.
QString shortened(const QString& text, int chars);

}  // namespace report
