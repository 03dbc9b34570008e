#pragma once

#include "data/DataFile.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace transferui {

// A progress dialog that shows itself only once the work has taken about half a second. Cancel is offered
// only where the work can still be given up without a change.
class TransferProgress {
  public:
    TransferProgress(QWidget* parent, const QString& label, bool cancellable);
    ~TransferProgress();
    DataFile::Progress callback();

  private:
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace transferui
