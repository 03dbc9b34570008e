#include "ui/report/ReportDialog.h"

#include "platform/core/JaText.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "report/ChartFile.h"
#include "report/ChartPainter.h"
#include "transfer/WholeExport.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace reportui {

namespace {

const QString kTitle = QStringLiteral("基礎体温表の印刷");

bool askPrinter(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

ReportDialog::ReportDialog(const Services& services, DataFile& db, QWidget* parent)
    : QDialog(parent), services_(services), db_(db), chooser_(askPrinter) {
    buildLayout();
    readChart();
    // Before her first cycle has ended, the running one is all there is to show.
    if (chart_.days.empty()) chkRunning->setChecked(true);
}

void ReportDialog::showOver(const Services& services, DataFile* db, QWidget* parent) {
    std::unique_ptr<ReportDialog> dialog;
    services.dialogs->trapped(
        parent, [&] { dialog = std::make_unique<ReportDialog>(services, requireOpen(db), parent); });
    if (!dialog) return;
    if (!dialog->hasCycles()) {
        services.dialogs->message(parent, QStringLiteral("月経の記録がないので、基礎体温表を作れません。"),
                                  kTitle, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return;
    }
    dialog->exec();
}

void ReportDialog::buildLayout() {
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(kTitle);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    spnCycles = new QSpinBox(this);
    spnCycles->setObjectName(QStringLiteral("spnCycles"));
    spnCycles->setRange(report::kFewestCycles, report::kMostCycles);
    spnCycles->setValue(report::kDefaultCycles);
    spnCycles->setSuffix(QStringLiteral(" 周期"));
    spnCycles->setAccessibleName(QStringLiteral("最近の終わった周期の数"));
    chkRunning = new QCheckBox(QStringLiteral("継続中の周期も入れる(&R)"), this);
    chkRunning->setObjectName(QStringLiteral("chkRunning"));
    chkRunning->setToolTip(QStringLiteral("まだ終わっていない今の周期を、最後の記録の日まで加えます"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setToolTip(QStringLiteral("空欄なら名前は印刷されません"));
    txtName->setAccessibleName(QStringLiteral("名前（任意）"));
    lblRange = new QLabel(this);
    lblRange->setObjectName(QStringLiteral("lblRange"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("最近の終わった周期(&N)："), spnCycles);
    form->addRow(QString(), chkRunning);
    form->addRow(QStringLiteral("名前（任意）(&M)："), txtName);
    form->addRow(QStringLiteral("期間："), lblRange);

    cmdPrint = new QPushButton(QStringLiteral("印刷(&P)..."), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdSave = new QPushButton(QStringLiteral("PDFに保存(&S)..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdPrint, cmdSave, cmdClose}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("A4 横に、日付・周期日・体温・月経・性交・薬・体調を印刷します。"), this));
    layout->addLayout(buttons);

    connect(spnCycles, &QSpinBox::valueChanged, this, &ReportDialog::readChart);
    connect(chkRunning, &QCheckBox::toggled, this, &ReportDialog::readChart);
    connect(cmdPrint, &QPushButton::clicked, this, &ReportDialog::cmdPrint_Click);
    connect(cmdSave, &QPushButton::clicked, this, &ReportDialog::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportDialog::readChart() {
    services_.dialogs->trapped(this, [this] {
        chart_ = report::chartOf(db_, report::CycleChoice{spnCycles->value(), chkRunning->isChecked()},
                                 services_.today())
                     .value_or(report::ChartModel{});
    });
    const int cycles = static_cast<int>(chart_.cycles.size());
    lblRange->setText(chart_.days.empty()
                          ? QStringLiteral("終わった周期はまだありません。")
                          : chart_.dateRange() +
                                QStringLiteral("（%1周期、%2日）").arg(cycles).arg(chart_.days.size()));
    for (QPushButton* button : {cmdPrint, cmdSave}) button->setEnabled(!chart_.days.empty());
}

void ReportDialog::cmdPrint_Click() {
    chart_.name = txtName->text();
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    printer.setDocName(kTitle);
    if (!chooser_(printer, this)) return;
    if (!report::paintChart(printer, chart_) || printer.printerState() == QPrinter::Error)
        services_.dialogs->message(this, QStringLiteral("印刷できませんでした。"), kTitle,
                                   Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

void ReportDialog::cmdSave_Click() {
    // The chart of a locked diary leaves it as plain as an export does, and only once she has read so.
    if (db_.store() && services_.dialogs->message(
                           this, transfer::kNotSealedWarning + QStringLiteral("\r保存しますか？"), kTitle,
                           Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    chart_.name = txtName->text();
    const QString proposed = paths::inFolder(
        services_.appFolder,
        QStringLiteral("chart-") + jatext::compactDate(services_.today()) + QStringLiteral(".pdf"));
    const auto chosen =
        services_.dialogs->chooseFile(this, {kTitle, {QStringLiteral("PDF ﾌｧｲﾙ (*.pdf)")}, proposed, true});
    if (!chosen || chosen->path.isEmpty()) return;
    QString path = chosen->path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    const QFileInfo target(path);
    if ((target.exists() || target.isSymLink()) &&
        !services_.dialogs->askYesNo(this, QStringLiteral("上書きしますか？"), QStringLiteral("上書き確認")))
        return;
    const QString error = report::writePdf(chart_, path, paths::inFolder(services_.appFolder, kDataFileName));
    if (!error.isEmpty()) {
        services_.dialogs->plain(this, QStringLiteral("保存できませんでした。\r") + error);
        return;
    }
    services_.dialogs->plain(this, QStringLiteral("基礎体温表を保存しました。"));
}

}  // namespace reportui
