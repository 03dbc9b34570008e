#pragma once

#include "forecast/CycleLength.h"
#include "list/ListRows.h"
#include "session/Module1.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

// The list window: the 180 days ending on the selected day as a read-only table with the menstruation,
// intercourse and fertile-day marks. It is built afresh at each opening and reads the data file once.
class frmView : public QDialog {
    Q_OBJECT

  public:
    // Shows the graph over the list; the main window hands it in, since the graph builds on the list.
    using GraphOpener = std::function<void(frmView&)>;

    // cycle: the cycle length the marks count with; nothing: her cycle setting.
    frmView(Module1& module, const Services& services, GraphOpener openGraph = {}, QWidget* parent = nullptr,
            const std::optional<forecast::CycleLength>& cycle = std::nullopt);

    // The grid's text as the design addresses it: row 0 the header, rows 1 to 180 the days, newest first.
    QString TextMatrix(int row, int col) const;
    int Rows() const;

    // The width of the digit "0" at 12 points in the window's font, in twips.
    static double measureUnit(const QFont& windowFont);

    QTableWidget* DATA_FLX = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdGraph = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 2> LABEL_DATE{};
    QLabel* LABEL_BETWEEN = nullptr;

  public slots:
    void cmdGraph_Click();
    void cmdClose_Click();

  private:
    void buildLayout();
    void Form_Load();
    void FillListRows();
    void MarkFertileDays(listview::Table& rows);
    void showRows(const listview::Table& rows);

    Module1& m_;
    Services services_;
    GraphOpener openGraph_;
    forecast::CycleLength cycle_;
};
