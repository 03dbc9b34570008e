#pragma once

#include <QDate>
#include <QString>

class Dialogs;
class QWidget;

// Saving the shown day's diary text as a plain text file.
namespace diaryexport {

inline const QString kTitle = QStringLiteral("ﾌｧｲﾙの保存");
inline const QString kFilter = QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt");
inline const QString kOverwrite = QStringLiteral("上書きしますか？");
inline const QString kOverwriteTitle = QStringLiteral("上書き確認");
inline const QString kIsFolder = QStringLiteral("フォルダーには保存できません。ファイル名を指定して下さい。");

// The name first proposed: the day as yyyymmdd followed by "s_diary", no extension, in the folder.
QString proposedPath(const QString& folder, const QDate& day);

// Writes text (UTF-8) to path, replacing the whole file at once and readable by its owner only.
// Empty on success, otherwise the failure's description.
QString writeText(const QString& path, const QString& text);

// The whole command: file dialog, overwrite question, write, and any failure's description.
void run(Dialogs& dialogs, QWidget* parent, const QString& folder, const QDate& day, const QString& diary);

}  // namespace diaryexport
