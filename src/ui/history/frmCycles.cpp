#include "ui/history/frmCycles.h"

#include "forecast/CycleForecast.h"
#include "forecast/CycleRules.h"
#include "history/CycleHistory.h"
#include "history/CycleStats.h"
#include "history/CycleTexts.h"
#include "platform/core/PgError.h"
#include "platform/core/Twips.h"
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Pictures.h"
#include "platform/ui/ScreenFit.h"
#include "platform/ui/WindowParts.h"
#include "ui/history/CycleChart.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

namespace historyui {

namespace {

// The figures' two columns: over this many latest counted cycles.
constexpr int kFigureSpans[] = {history::kForecastCycles, 12};
// The chart shows at most this many of the latest finished cycles.
constexpr int kChartBars = 24;

// Positions in pixels at 96 DPI, written as twips (15 to a pixel) like every window's design; sizes set
// directly become pixels at the screen's DPI through the same twips.
constexpr int px(int pixels) { return pixels * 15; }
int scaled(int pixels) { return twips::toPixels(px(pixels)); }

QLabel* wrapped(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                int height) {
    QLabel* label = placeLabel(parent, name, text, px(left), px(top), px(width), px(height),
                               Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QTableWidget* table(QWidget* parent, const char* name, int rows, int columns, int left, int top, int width,
                    int height) {
    auto* grid = placeAt<QTableWidget>(parent, name, px(left), px(top), px(width), px(height));
    grid->setRowCount(rows);
    grid->setColumnCount(columns);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid->font()).height() + 4);
    return grid;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    return item;
}

}  // namespace

frmCycles::frmCycles(Module1& module, const Services& services,
                     const std::optional<ForecastCycle>& forecastWith, QWidget* parent)
    : QDialog(parent),
      m_(module),
      services_(services),
      forecastWith_(
          forecastWith.value_or(ForecastCycle{forecast::CycleLength::fromSetting(module.CycleDays)})) {
    buildLayout();
    load(kBatch);
    showForecast();
    screenfit::fit(this);
}

void frmCycles::buildLayout() {
    setObjectName(QStringLiteral("frmCycles"));
    setWindowTitle(QStringLiteral(" Selvane ～　周期の記録"));
    setWindowIcon(pictures::windowIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(appsetup::japaneseFont(9));

    // The cycles on the left; the figures (or why there are none) and the chart on the right.
    grdCycles = table(this, "grdCycles", 0, 6, 8, 8, 592, 340);
    grdCycles->setHorizontalHeaderLabels({QStringLiteral("開始日"), QStringLiteral("周期"),
                                          QStringLiteral("月経"), QStringLiteral("体温の変化"),
                                          QStringLiteral("ｶﾊﾞｰﾗｲﾝ"), QStringLiteral("備考")});
    grdCycles->verticalHeader()->hide();
    grdCycles->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCycles->setToolTip(QStringLiteral("月経の記録から数えた周期です（新しい順）"));
    int column = 0;
    for (int width : {84, 52, 44, 180, 72, 120}) grdCycles->setColumnWidth(column++, scaled(width));
    grdCycles->horizontalHeader()->setStretchLastSection(true);
    grdCycles->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QStringList captions = history::figureCaptions();
    grdFigures = table(this, "grdFigures", static_cast<int>(captions.size()),
                       static_cast<int>(std::size(kFigureSpans)), 608, 8, 284, 168);
    QStringList spans;
    for (int span : kFigureSpans) spans << QStringLiteral("直近%1周期").arg(span);
    grdFigures->setHorizontalHeaderLabels(spans);
    grdFigures->setVerticalHeaderLabels(captions);
    grdFigures->setSelectionMode(QAbstractItemView::NoSelection);
    grdFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdFigures->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdFigures->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdFigures->setToolTip(QStringLiteral("統計に入る周期（%1の終わった周期）から計算します")
                               .arg(forecast::countedLengthsText()));
    // As tall as its rows, whatever the font makes of them; the chart takes the room below.
    grdFigures->resize(grdFigures->width(), grdFigures->horizontalHeader()->sizeHint().height() +
                                                grdFigures->rowCount() * grdFigures->rowHeight(0) +
                                                2 * grdFigures->frameWidth());
    const QRect figures = grdFigures->geometry();
    lblTooFew = wrapped(this, "lblTooFew", QString(), 608, 8, 284, 168);
    chart = new CycleChart(this);
    chart->setObjectName(QStringLiteral("chart"));
    const int chartTop = figures.bottom() + scaled(9);
    chart->setGeometry(figures.left(), chartTop, figures.width(), scaled(348) - chartTop);
    lblForecast = wrapped(this, "lblForecast", QString(), 8, 356, 884, 34);
    lblForecast->setToolTip(QStringLiteral("主画面と同じ計算です（最新の月経の始まりから数えます）"));
    lblNotice =
        wrapped(this, "lblNotice",
                QStringLiteral("ここに示す数値は、記録から計算した目安です。避妊に使えるものではなく、"
                               "医学的な助言でもありません。気になることは医師にご相談下さい。"),
                8, 394, 884, 34);
    cmdOlder =
        windowparts::button(this, "cmdOlder", QStringLiteral("さらに前の周期(&O)"),
                            QStringLiteral("もっと前の周期を読み込みます"), px(8), px(434), px(160), px(26));
    cmdClose = windowparts::button(this, "cmdClose", QStringLiteral("閉じる(&C)"),
                                   QStringLiteral("この画面を閉じます"), px(772), px(434), px(120), px(26));
    connect(cmdOlder, &QPushButton::clicked, this, &frmCycles::cmdOlder_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(scaled(900), scaled(468));
}

void frmCycles::load(int count) {
    bool older = false;
    services_.dialogs->trapped(this, [&] {
        // One more than shown tells whether older cycles are there.
        cycles_ = history::latestCycles(requireOpen(m_.Db.get()), history::kNewestDay, count + 1);
        older = static_cast<int>(cycles_.size()) > count;
        if (older) cycles_.pop_back();
    });
    cmdOlder->setEnabled(older);
    showCycles();
    showFigures();
    showChart();
}

void frmCycles::cmdOlder_Click() {
    const int shown = grdCycles->rowCount();
    load(static_cast<int>(cycles_.size()) + kBatch);
    grdCycles->scrollToItem(grdCycles->item(std::min(shown, grdCycles->rowCount() - 1), 0));
}

void frmCycles::showCycles() {
    grdCycles->setRowCount(static_cast<int>(cycles_.size()));
    for (int r = 0; r < grdCycles->rowCount(); ++r) {
        const history::CycleRow row = history::rowTexts(cycles_[static_cast<size_t>(r)]);
        grdCycles->setItem(r, 0, cell(row.start, Qt::AlignLeft | Qt::AlignVCenter));
        grdCycles->setItem(r, 1, cell(row.length));
        grdCycles->setItem(r, 2, cell(row.bleeding));
        QTableWidgetItem* shift = cell(row.shift, Qt::AlignLeft | Qt::AlignVCenter);
        shift->setToolTip(row.shiftWhen);
        grdCycles->setItem(r, 3, shift);
        grdCycles->setItem(r, 4, cell(row.coverline));
        QTableWidgetItem* flag = cell(row.flag, Qt::AlignLeft | Qt::AlignVCenter);
        flag->setToolTip(row.flagWhy);
        grdCycles->setItem(r, 5, flag);
    }
}

void frmCycles::showFigures() {
    const auto enough = history::summarize(cycles_, kFigureSpans[0]);
    grdFigures->setVisible(enough.has_value());
    lblTooFew->setVisible(!enough);
    if (!enough) {
        int counted = 0;
        for (const history::Cycle& cycle : cycles_) counted += cycle.counted();
        lblTooFew->setText(
            QStringLiteral("統計を出すには、統計に入る周期（%1の終わった周期）が"
                           "%2つ以上必要です。")
                .arg(forecast::countedLengthsText())
                .arg(history::kFewestForFigures) +
            (counted ? QStringLiteral("今は%1つです。").arg(counted) : QStringLiteral("今はありません。")));
        return;
    }
    for (int c = 0; c < grdFigures->columnCount(); ++c) {
        const auto summary = history::summarize(cycles_, kFigureSpans[c]);
        const QStringList texts = history::figureTexts(*summary);
        for (int r = 0; r < grdFigures->rowCount(); ++r) grdFigures->setItem(r, c, cell(texts.value(r)));
    }
}

// The next period and the fertile days as the main window forecasts them: from the newest period of the
// whole diary, with the cycle the main window counts with.
void frmCycles::showForecast() {
    try {
        forecast::PeriodStartWalk walk;
        requireOpen(m_.Db.get()).forEachMenstruationDay([&walk](const QDate& day) { return walk.take(day); });
        lblForecast->setText(history::outlookText(walk.start(), forecastWith_.length,
                                                  forecastWith_.fromRecords, services_.today()));
    } catch (const PgError& error) {
        lblForecast->setText(QStringLiteral("次回月経予定日を計算できません：") + error.description());
    }
}

void frmCycles::showChart() {
    std::vector<CycleChart::Bar> bars;
    for (const history::Cycle& cycle : cycles_) {
        if (!cycle.length) continue;
        bars.push_back({*cycle.length, cycle.counted()});
        if (static_cast<int>(bars.size()) >= kChartBars) break;
    }
    std::reverse(bars.begin(), bars.end());  // oldest on the left
    chart->setBars(std::move(bars));
}

}  // namespace historyui
