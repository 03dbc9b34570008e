#pragma once

#include <QDate>
#include <QString>
#include <functional>

class DataFile;
class Dialogs;
class QWidget;

// Purging old records: every record up to and including a day goes, and that day starts afresh.
namespace purge {

inline const QString kTitle = QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ");
inline const QString kDone = QStringLiteral("削除されました");

// The confirmation, its lines separated by a lone carriage return.
QString question(const QDate& day);

// Asks, then deletes and writes the day's fresh record (the average temperature and nothing else) in one
// transaction, and reports the outcome. True when the purge is done; on No or on a failure (its
// description shown) the file is as it was.
// beforePurge runs after her Yes and before anything is deleted; false stops the purge.
bool confirmAndPurge(Dialogs& dialogs, QWidget* parent, DataFile* db, const QDate& day, float averageTemp,
                     const std::function<bool()>& beforePurge = {});

}  // namespace purge
