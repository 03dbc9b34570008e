#pragma once

#include "sync/Session.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QTableWidget;
struct Services;

namespace syncui {

// 同期の競合: the days two of her computers changed without seeing each other's change. For the day chosen,
// what her diary holds and the other version side by side; she takes the other, or keeps hers, and the
// conflict is over on every computer.
class ConflictsWindow : public QDialog {
    Q_OBJECT

  public:
    ConflictsWindow(syncing::Session& session, const Services& services, QWidget* parent);

  signals:
    void dayChosen(const QDate& day);

  private:
    void reload();
    void showChosen();
    void decide(bool takeOther);

    syncing::Session& session_;
    const Services& services_;
    std::vector<syncing::Conflict> conflicts_;
    QListWidget* lstDays;
    QTableWidget* grdSides;
    QPushButton* cmdTakeOther;
    QPushButton* cmdKeep;
    QPushButton* cmdClose;
};

}  // namespace syncui
