#pragma once

#include "report/ChartModel.h"
#include "session/Module1.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSpinBox;

namespace reportui {

// The chart for her doctor: she chooses how many of her last finished cycles and whether to add the one
// still running, may type a name line, and prints it or saves it as a PDF (after a warning when the diary is
// locked: the PDF is not). Every question goes through the dialogs seam; the printer is chosen in Qt's print
// dialog.
class ReportDialog : public QDialog {
    Q_OBJECT

  public:
    // Shows the printer dialog for the printer; true when she chose to print.
    using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;

    ReportDialog(const Services& services, DataFile& db, QWidget* parent = nullptr);

    // Opens the dialog over parent, or tells her that there is no cycle to chart yet.
    static void showOver(const Services& services, DataFile* db, QWidget* parent);

    void setPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }
    const report::ChartModel& chart() const { return chart_; }
    bool hasCycles() const { return !chart_.days.empty(); }

    QSpinBox* spnCycles = nullptr;
    QCheckBox* chkRunning = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblRange = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

  public slots:
    void cmdPrint_Click();
    void cmdSave_Click();

  private:
    void buildLayout();
    void readChart();

    Services services_;
    DataFile& db_;
    PrinterChooser chooser_;
    report::ChartModel chart_;
};

}  // namespace reportui
