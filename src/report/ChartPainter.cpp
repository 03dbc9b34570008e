#include "report/ChartPainter.h"

#include "platform/core/JaText.h"
#include "report/ChartFont.h"
#include "report/ChartLayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace report {
namespace {

const QColor kFaint(0xd6, 0xd6, 0xd6);
const QColor kTenth(0xa8, 0xa8, 0xa8);
const QColor kTenthLabel(0x40, 0x40, 0x40);
const QColor kCurve(0xc0, 0x30, 0x60);
const QColor kCoverline(0x1f, 0x5f, 0xbf);
const QColor kMenstruation(0xd0, 0x40, 0x60);
constexpr double kPointToMm = 25.4 / 72;

// Paints one page in millimetres; the painter's device units are converted once here.
class PagePainter {
  public:
    PagePainter(QPainter& painter, double unitsPerMm, const ChartModel& chart, const PageSpan& span)
        : p_(painter),
          k_(unitsPerMm),
          chart_(chart),
          span_(span),
          page_(geometryFor(span.count)),
          family_(chartFontFamily()),
          inFont_(QFont(family_)),
          inFallback_(QFont(kFallbackFamily)) {}

    void paint() {
        title();
        dayColumns();
        grid();
        rows();
        curve();
        frame();
    }

  private:
    QRectF mm(const QRectF& r) const {
        return QRectF(r.x() * k_, r.y() * k_, r.width() * k_, r.height() * k_);
    }
    QPointF mm(double x, double y) const { return QPointF(x * k_, y * k_); }
    QPen pen(const QColor& colour, double widthMm, Qt::PenStyle style = Qt::SolidLine) const {
        QPen result(colour, widthMm * k_, style);
        result.setCapStyle(Qt::FlatCap);
        return result;
    }
    // Fonts are made once per size: the many small texts of a page would otherwise each resolve one afresh.
    void font(double points, bool bold = false) {
        const QString key = QString::number(points, 'f', 2) + (bold ? u'b' : u'r');
        auto found = fonts_.find(key);
        if (found == fonts_.end()) {
            QFont f(family_);
            f.setPointSizeF(points);
            f.setBold(bold);
            found = fonts_.insert(key, {f, QFontMetricsF(f, p_.device())});
        }
        if (current_ != key) {
            p_.setFont(found->font);
            current_ = key;
        }
    }
    // A one-line text placed by the font's own measures, without a text layout per call.
    void text(const QRectF& r, int flags, const QString& s) {
        if (s.isEmpty()) return;
        const QFontMetricsF& metrics = fonts_.find(current_)->metrics;
        const QRectF box = mm(r);
        const double width = metrics.horizontalAdvance(s);
        double x = box.left();
        if (flags & Qt::AlignHCenter) x = box.center().x() - width / 2;
        if (flags & Qt::AlignRight) x = box.right() - width;
        double y = box.top() + metrics.ascent();
        if (flags & Qt::AlignVCenter) y = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
        p_.drawText(QPointF(x, y), s);
    }
    void line(double x1, double y1, double x2, double y2) { p_.drawLine(mm(x1, y1), mm(x2, y2)); }
    const ChartDay& day(int onPage) const { return chart_.days[span_.first + onPage]; }
    // Her text as the fonts can print it: a character none of them has is a stand-in, not an empty box.
    QString printed(const QString& s) const {
        return printable(s,
                         [this](char32_t c) { return inFont_.inFontUcs4(c) || inFallback_.inFontUcs4(c); });
    }
    double centre(int onPage) const { return page_.left(onPage) + page_.dayWidth / 2; }
    // The size of small texts in a day's column: as large as its width allows.
    double columnPoints(double most) const { return std::min(most, page_.dayWidth * 0.8 / kPointToMm); }

    void title() {
        p_.setPen(Qt::black);
        font(14, true);
        const QRectF r = page_.title;
        const QString heading = QStringLiteral("基礎体温表");
        text(r, Qt::AlignLeft | Qt::AlignVCenter, heading);
        font(11);
        text(r.adjusted(32, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, chart_.dateRange());
        font(8);
        QString legend;
        for (const ChartCycle& cycle : chart_.cycles)
            if (cycle.coverline) legend = QStringLiteral("青線：カバーライン　○：体温が上がった日");
        for (const ChartDay& day : chart_.days)
            if (day.excluded) {
                legend += (legend.isEmpty() ? QString() : QStringLiteral("　")) +
                          QStringLiteral("白抜き：除外した体温");
                break;
            }
        text(r.adjusted(100, 0, -80, 0), Qt::AlignLeft | Qt::AlignVCenter, legend);
        if (!chart_.name.trimmed().isEmpty()) {
            font(11);
            text(r, Qt::AlignRight | Qt::AlignVCenter, printed(chart_.name.simplified()));
        }
    }

    void dayColumns() {
        const QRectF all = page_.days;
        for (int i = 0; i < span_.count; ++i) {
            const ChartDay& d = day(i);
            const bool cycleStart = d.cycleDay == 1 && i > 0;
            p_.setPen(cycleStart ? pen(Qt::black, 0.35) : pen(kFaint, 0.1));
            line(page_.left(i), page_.row(Row::Date).top(), page_.left(i), all.bottom());
            p_.setPen(Qt::black);
            font(7);
            const QRectF month = page_.row(Row::Month);
            const QString monthLabel = monthText(d, i == 0);
            if (!monthLabel.isEmpty())
                text(QRectF(page_.left(i), month.top(), 20, month.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     monthLabel);
            font(columnPoints(7));
            auto cell = [&](Row row) {
                const QRectF r = page_.row(row);
                return QRectF(page_.left(i), r.top(), page_.dayWidth, r.height());
            };
            text(cell(Row::Date), Qt::AlignCenter, QString::number(d.date.day()));
            const int weekday = d.date.dayOfWeek();
            p_.setPen(weekday == 7   ? QColor(0xc0, 0x20, 0x20)
                      : weekday == 6 ? QColor(0x20, 0x40, 0xc0)
                                     : QColor(Qt::black));
            text(cell(Row::Weekday), Qt::AlignCenter, jatext::weekdayShort(d.date));
            p_.setPen(Qt::black);
            text(cell(Row::CycleDay), Qt::AlignCenter, QString::number(d.cycleDay));
            if (d.menstruation) {
                const QRectF r = cell(Row::Menstruation);
                const double radius = std::min(r.width(), r.height()) * 0.32;
                p_.setPen(Qt::NoPen);
                p_.setBrush(kMenstruation);
                p_.drawEllipse(mm(r.center().x(), r.center().y()), radius * k_, radius * k_);
            }
            if (d.intercourse) {
                const QRectF r = cell(Row::Intercourse);
                const double radius = std::min(r.width(), r.height()) * 0.3;
                p_.setPen(pen(Qt::black, 0.25));
                p_.setBrush(Qt::NoBrush);
                p_.drawEllipse(mm(r.center().x(), r.center().y()), radius * k_, radius * k_);
            }
            downwards(cell(Row::Medication), d.medication);
            downwards(cell(Row::Condition), d.condition);
        }
    }

    // A text written downwards in a day's narrow cell, one character under the other, cut to fit.
    void downwards(const QRectF& cell, const QString& s) {
        if (s.trimmed().isEmpty()) return;
        const double points = columnPoints(7);
        const double step = points * kPointToMm * 1.08;
        const int fits = static_cast<int>((cell.height() - 1) / step);
        const QString cut = shortened(printed(s), fits);
        font(points);
        p_.setPen(Qt::black);
        double y = cell.top() + 0.5;
        for (qsizetype i = 0; i < cut.size(); ++i) {
            const int length = cut.at(i).isHighSurrogate() && i + 1 < cut.size() ? 2 : 1;
            text(QRectF(cell.left(), y, cell.width(), step), Qt::AlignCenter, cut.mid(i, length));
            i += length - 1;
            y += step;
        }
    }

    void grid() {
        const QRectF g = page_.grid;
        const int steps = static_cast<int>(std::lround((kHighestShown - kLowestShown) / kGridStep));
        for (int s = 0; s <= steps; ++s) {
            const double celsius = kLowestShown + s * kGridStep;
            const double y = page_.yOf(celsius);
            const bool labelled = s % 10 == 0;
            const bool tenth = s % 2 == 0;
            p_.setPen(labelled ? pen(Qt::black, 0.3) : tenth ? pen(kTenth, 0.12) : pen(kFaint, 0.08));
            line(g.left(), y, g.right(), y);
            if (labelled || tenth) {
                // The tenths as legible on paper as the half degrees, only lighter in weight and colour.
                font(labelled ? 8.5 : 7, labelled);
                p_.setPen(labelled ? QColor(Qt::black) : kTenthLabel);
                text(page_.labelBox(celsius), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(celsius, 'f', 1));
            }
        }
        font(6);
        p_.setPen(Qt::black);
        text(QRectF(page_.names.left() + 0.5, g.top() + 0.8, page_.names.width(), 4),
             Qt::AlignLeft | Qt::AlignTop, QStringLiteral("(℃)"));
    }

    void rows() {
        font(8);
        for (Row row : {Row::Date, Row::Weekday, Row::CycleDay, Row::Menstruation, Row::Intercourse,
                        Row::Medication, Row::Condition}) {
            const QRectF r = page_.row(row);
            p_.setPen(Qt::black);
            text(page_.nameCell(row), Qt::AlignCenter, rowName(row));
            p_.setPen(pen(Qt::black, 0.2));
            line(page_.names.left(), r.top(), page_.days.right(), r.top());
        }
        const double headerEnd = page_.row(Row::CycleDay).bottom();
        line(page_.names.left(), headerEnd, page_.days.right(), headerEnd);
        p_.setPen(pen(Qt::black, 0.2));
        line(page_.names.left(), page_.days.bottom(), page_.days.right(), page_.days.bottom());
    }

    void curve() {
        p_.setRenderHint(QPainter::Antialiasing);
        // The coverlines under the curve, each across its cycle's days on this page.
        for (const ChartCycle& cycle : chart_.cycles) {
            if (!cycle.coverline) continue;
            const int from = std::max(*cycle.coverlineFrom, span_.first) - span_.first;
            const int to = std::min(cycle.last, span_.first + span_.count - 1) - span_.first;
            if (from > to) continue;
            p_.setPen(pen(kCoverline, 0.35, Qt::DashLine));
            const double y = page_.yOf(*cycle.coverline);
            line(page_.left(from), y, page_.left(to) + page_.dayWidth, y);
        }
        QPainterPath path;
        bool joined = false;
        for (int i = 0; i < span_.count; ++i) {
            const ChartDay& d = day(i);
            if (!d.temp) {
                joined = false;  // a gap where the day has no reading
                continue;
            }
            const QPointF at = mm(centre(i), page_.yOf(*d.temp));
            if (joined)
                path.lineTo(at);
            else
                path.moveTo(at);
            joined = true;
        }
        p_.setPen(pen(kCurve, 0.3));
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(path);
        p_.setPen(Qt::NoPen);
        p_.setBrush(kCurve);
        const double dot = std::min(0.55, page_.dayWidth * 0.2) * k_;
        for (int i = 0; i < span_.count; ++i)
            if (day(i).temp && !day(i).excluded)
                p_.drawEllipse(mm(centre(i), page_.yOf(*day(i).temp)), dot, dot);
        // A reading she marked as disturbed: hollow, as on the graph.
        p_.setPen(pen(kCurve, 0.25));
        p_.setBrush(Qt::white);
        for (int i = 0; i < span_.count; ++i)
            if (day(i).excluded) p_.drawEllipse(mm(centre(i), page_.yOf(*day(i).temp)), dot * 1.3, dot * 1.3);
        for (const ChartCycle& cycle : chart_.cycles) {
            if (!cycle.firstHigher) continue;
            const int at = *cycle.firstHigher - span_.first;
            if (at < 0 || at >= span_.count || !day(at).temp) continue;
            p_.setPen(pen(kCoverline, 0.3));
            p_.setBrush(Qt::NoBrush);
            const double ring = std::min(1.4, page_.dayWidth * 0.45) * k_;
            p_.drawEllipse(mm(centre(at), page_.yOf(*day(at).temp)), ring, ring);
        }
        p_.setRenderHint(QPainter::Antialiasing, false);
    }

    void frame() {
        p_.setPen(pen(Qt::black, 0.35));
        p_.setBrush(Qt::NoBrush);
        const QRectF all = page_.days.united(page_.names);
        p_.drawRect(mm(QRectF(all.left(), page_.row(Row::Date).top(), all.width(),
                              all.bottom() - page_.row(Row::Date).top())));
        line(page_.names.right(), page_.row(Row::Date).top(), page_.names.right(), all.bottom());
    }

    QPainter& p_;
    double k_;
    const ChartModel& chart_;
    PageSpan span_;
    PageGeometry page_;
    struct Font {
        QFont font;
        QFontMetricsF metrics;
    };
    QHash<QString, Font> fonts_;
    QString current_;
    QString family_;
    QFontMetricsF inFont_;
    QFontMetricsF inFallback_;
};

}  // namespace

bool paintChart(QPagedPaintDevice& device, const ChartModel& chart) {
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QRectF page = painter.viewport();
    const double unitsPerMm = std::min(page.width() / kPageWidth, page.height() / kPageHeight);
    const std::vector<PageSpan> pages = pagesOf(chart);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        PagePainter(painter, unitsPerMm, chart, pages[i]).paint();
    }
    return painter.end();
}

}  // namespace report
