#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
struct Services;

namespace syncui {

struct SyncStatus;

// 同期の設定: the folder her sync program keeps in step (empty: off) and this computer's name, with what the
// last merge saw. Accepted only with a folder that can be used; the settings are written on OK.
class SyncSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    SyncSettingsDialog(const Services& services, const SyncStatus& status, QWidget* parent);

  private:
    void chooseFolder();
    void cmdOK_Click();

    const Services& services_;
    QLineEdit* txtFolder;
    QLineEdit* txtName;
    QLabel* lblStatus;
    QPushButton* cmdBrowse;
    QPushButton* cmdOff;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

}  // namespace syncui
