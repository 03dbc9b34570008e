#include "list/frmView.h"

#include "list/FertileMarks.h"
#include "list/FittedNumberDelegate.h"
#include "list/ListLayout.h"
#include "list/MergedCellDelegate.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Pictures.h"
#include "platform/ui/ScreenFit.h"
#include "platform/ui/WindowParts.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

using windowparts::titleLabel;

namespace {

const int kClientHeight = 7005;
const int kGridTop = 960;
const int kGridHeight = 5295;

// Stops the grid painting while its cells change, and lets it paint again however the fill ends.
class PaintingSuspended {
  public:
    explicit PaintingSuspended(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~PaintingSuspended() { widget_->setUpdatesEnabled(true); }

  private:
    QWidget* widget_;
};

// A day's cell with its column's alignment. The cell answers the alignment itself, so it costs no second
// entry in the item's data: 1,800 cells are made at each opening.
class DayCell : public QTableWidgetItem {
  public:
    DayCell(const QString& text, Qt::Alignment alignment) : QTableWidgetItem(text), alignment_(alignment) {}
    QVariant data(int role) const override {
        return role == Qt::TextAlignmentRole ? QVariant::fromValue(alignment_) : QTableWidgetItem::data(role);
    }

  private:
    Qt::Alignment alignment_;
};

}  // namespace

frmView::frmView(Module1& module, const Services& services, GraphOpener openGraph, QWidget* parent,
                 const std::optional<forecast::CycleLength>& cycle)
    : QDialog(parent),
      m_(module),
      services_(services),
      openGraph_(std::move(openGraph)),
      cycle_(cycle.value_or(forecast::CycleLength::fromSetting(module.CycleDays))) {
    buildLayout();
    Form_Load();
    screenfit::fit(this);
}

void frmView::buildLayout() {
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral(" Selvane ～　一覧表示"));
    setWindowIcon(pictures::windowIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(appsetup::japaneseFont(9));

    DATA_FLX = placeAt<QTableWidget>(this, "DATA_FLX", listview::kGridLeft, kGridTop, 9975, kGridHeight);
    DATA_FLX->setToolTip(QStringLiteral("過去180日分のデータ一覧です"));
    DATA_FLX->setFont(appsetup::japaneseFont(9));
    DATA_FLX->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DATA_FLX->verticalHeader()->hide();
    DATA_FLX->setWordWrap(false);
    DATA_FLX->setTabKeyNavigation(false);  // Tab leaves the grid for the buttons
    auto* merged = new listview::MergedCellDelegate(DATA_FLX);
    for (int c : {listview::Year, listview::Month}) DATA_FLX->setItemDelegateForColumn(c, merged);
    DATA_FLX->setItemDelegateForColumn(listview::Temp, new listview::FittedNumberDelegate(DATA_FLX));
    DATA_FLX->verticalHeader()->setMinimumSectionSize(1);
    DATA_FLX->verticalHeader()->setDefaultSectionSize(QFontMetrics(DATA_FLX->font()).height() + 2);
    DATA_FLX->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DATA_FLX->horizontalHeader()->setMinimumSectionSize(1);  // the CJK font's default would widen columns
    DATA_FLX->horizontalHeader()->setHighlightSections(false);

    cmdClose = windowparts::button(this, "cmdClose", QStringLiteral("閉じる(&C)"),
                                   QStringLiteral("この画面を閉じます"), 8400, 6480, 1815, 375);
    cmdGraph = windowparts::button(this, "cmdGraph", QStringLiteral("ｸﾞﾗﾌ表示(RG)"),
                                   QStringLiteral("基礎体温グラフを表示します"), 6240, 6480, 2055, 375);

    Frame1 = placeAt<QGroupBox>(this, "Frame1", 960, 120, 8295, 735);
    Label1 = titleLabel(Frame1, "Label1", QStringLiteral("のﾃﾞｰﾀ一覧"), 5760, 1935, 375);
    LABEL_DATE[0] = titleLabel(Frame1, "LABEL_DATE0", QStringLiteral("1999/12/10"), 960, 1815, 315);
    LABEL_DATE[1] = titleLabel(Frame1, "LABEL_DATE1", QStringLiteral("1999/12/19"), 3720, 1815, 315);
    LABEL_BETWEEN = titleLabel(Frame1, "LABEL_BETWEEN", QStringLiteral("～"), 3120, 345, 315);

    setTabOrder(DATA_FLX, cmdClose);
    setTabOrder(cmdClose, cmdGraph);
    connect(cmdClose, &QPushButton::clicked, this, &frmView::cmdClose_Click);
    connect(cmdGraph, &QPushButton::clicked, this, &frmView::cmdGraph_Click);
}

double frmView::measureUnit(const QFont& windowFont) {
    QFont large = windowFont;
    large.setPointSizeF(12);
    return twips::fromPixels(QFontMetrics(large).horizontalAdvance(QLatin1Char('0')));
}

void frmView::Form_Load() {
    const listview::Widths widths = listview::widthsFor(measureUnit(font()));
    const auto columns = listview::parseFormat(listview::kFormatString);
    DATA_FLX->setColumnCount(listview::kColumns);
    DATA_FLX->setRowCount(listview::kDays);
    for (int c = 0; c < listview::kColumns; ++c) {
        auto* header = new QTableWidgetItem(columns[c].header);
        header->setTextAlignment(columns[c].alignment);
        DATA_FLX->setHorizontalHeaderItem(c, header);
        DATA_FLX->setColumnWidth(c, twips::toPixels(widths.columns[c]));
    }
    DATA_FLX->resize(twips::toPixels(widths.grid), DATA_FLX->height());
    setFixedSize(twips::toPixels(widths.window), twips::toPixels(kClientHeight));
    if (const QScreen* where = screen())  // centred on the screen, not over the main window
        move(where->availableGeometry().center() - rect().center());
    FillListRows();
}

void frmView::FillListRows() {
    const QDate selected = m_.SelectedDate;
    LABEL_DATE[0]->setText(jatext::slashDate(listview::firstDay(selected)));
    LABEL_DATE[1]->setText(jatext::slashDate(selected));
    PaintingSuspended suspended(DATA_FLX);
    services_.dialogs->trapped(this, [&] {
        listview::Table rows = listview::buildRows(
            requireOpen(m_.Db.get()).range(listview::firstDay(selected), selected), selected);
        MarkFertileDays(rows);
        showRows(rows);
    });
}

void frmView::MarkFertileDays(listview::Table& rows) {
    services_.dialogs->trapped(this, [&] { listview::markFertileDays(rows, cycle_); });
}

void frmView::showRows(const listview::Table& rows) {
    // Day cells take their column's alignment, set on the header from the format string at load.
    std::array<Qt::Alignment, listview::kColumns> alignment{};
    for (int c = 0; c < listview::kColumns; ++c)
        alignment[c] = Qt::Alignment::fromInt(DATA_FLX->horizontalHeaderItem(c)->textAlignment());
    for (int r = 0; r < listview::kDays; ++r)
        for (int c = 0; c < listview::kColumns; ++c)
            DATA_FLX->setItem(r, c, new DayCell(rows[r][c], alignment[c]));
    for (int c : {listview::Year, listview::Month})
        for (const listview::Block& block : listview::mergedBlocks(rows, c))
            DATA_FLX->setSpan(block.first, c, block.count, 1);
    // Start on the newest day, not on the year block (which would show as one large selection).
    DATA_FLX->setCurrentCell(0, listview::Day, QItemSelectionModel::NoUpdate);
}

QString frmView::TextMatrix(int row, int col) const {
    if (row == 0) {
        const QTableWidgetItem* header = DATA_FLX->horizontalHeaderItem(col);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* item = DATA_FLX->item(row - 1, col);
    return item ? item->text() : QString();
}

int frmView::Rows() const { return DATA_FLX->rowCount() + 1; }

void frmView::cmdGraph_Click() {
    if (openGraph_) openGraph_(*this);
}

void frmView::cmdClose_Click() { reject(); }
