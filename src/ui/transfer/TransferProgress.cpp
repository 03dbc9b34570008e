#include "ui/transfer/TransferProgress.h"

#include <QProgressDialog>

namespace transferui {

TransferProgress::TransferProgress(QWidget* parent, const QString& label, bool cancellable)
    : dialog_(std::make_unique<QProgressDialog>(parent)) {
    dialog_->setObjectName(QStringLiteral("TransferProgress"));
    dialog_->setWindowTitle(QStringLiteral("Selvane"));
    dialog_->setLabelText(label);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(500);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    if (cancellable)
        dialog_->setCancelButtonText(QStringLiteral("ｷｬﾝｾﾙ"));
    else
        dialog_->setCancelButton(nullptr);
}

TransferProgress::~TransferProgress() = default;

DataFile::Progress TransferProgress::callback() {
    return [this](qint64 done, qint64 total) {
        // Fractions keep large counts inside the dialog's int range.
        dialog_->setMaximum(1000);
        dialog_->setValue(total > 0 ? int(qMin<qint64>(999, done * 1000 / total)) : 0);
        return !dialog_->wasCanceled();
    };
}

}  // namespace transferui
