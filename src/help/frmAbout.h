#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The version window: the program's name, its version and a one-line notice. Shown modally over its owner.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit frmAbout(QWidget* owner);

    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdOK = nullptr;

  public slots:
    void cmdOK_Click();
};
