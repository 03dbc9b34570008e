#include "platform/core/SystemText.h"

namespace systemtext {
namespace {

struct Known {
    const char* english;  // a part of the original, matched without regard to case
    const char* japanese;
};

// SQLite's result texts, then the system's (strerror, which Qt's file texts repeat). More particular texts
// come before the ones they contain.
const Known kKnown[] = {
    {"database or disk is full", "ﾃﾞｨｽｸがいっぱいです。"},
    {"readonly database", "ﾃﾞｰﾀﾌｧｲﾙが読み取り専用のため書き込めません。"},
    {"database is locked", "ﾃﾞｰﾀﾌｧｲﾙをほかのﾌﾟﾛｸﾞﾗﾑが使っています。"},
    {"database table is locked", "ﾃﾞｰﾀﾌｧｲﾙをほかのﾌﾟﾛｸﾞﾗﾑが使っています。"},
    {"disk image is malformed", "ﾃﾞｰﾀﾌｧｲﾙが壊れています。"},
    {"file is not a database", "ﾃﾞｰﾀﾌｧｲﾙではありません。"},
    {"unable to open database", "ﾃﾞｰﾀﾌｧｲﾙを開けません。"},
    {"disk i/o error", "ﾃﾞｨｽｸの読み書きに失敗しました。"},
    {"no such table", "日記の表がありません。"},
    {"constraint failed", "ﾃﾞｰﾀﾌｧｲﾙの決まりに合わない値です。"},
    {"out of memory", "ﾒﾓﾘが足りません。"},
    {"interrupted", "中断されました。"},
    {"no space left on device", "ﾃﾞｨｽｸがいっぱいです。"},
    {"disk quota exceeded", "ﾃﾞｨｽｸの使える量を超えました。"},
    {"operation not permitted", "その操作は許されていません。"},
    {"permission denied", "ｱｸｾｽが許されていません。"},
    {"read-only file system", "読み取り専用のﾄﾞﾗｲﾌﾞです。"},
    {"no such file or directory", "ﾌｧｲﾙまたはﾌｫﾙﾀﾞがありません。"},
    {"not a directory", "ﾌｫﾙﾀﾞではありません。"},
    {"is a directory", "ﾌｫﾙﾀﾞです。"},
    {"file too large", "ﾌｧｲﾙが大きすぎます。"},
    {"file name too long", "ﾌｧｲﾙ名が長すぎます。"},
    {"file exists", "同じ名前のﾌｧｲﾙがもうあります。"},
    {"too many open files", "開いているﾌｧｲﾙが多すぎます。"},
    {"resource busy", "ﾌｧｲﾙが使用中です。"},
    {"input/output error", "ﾃﾞｨｽｸの読み書きに失敗しました。"},
};

bool holdsJapanese(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x3000) return true;
    return false;
}

}  // namespace

QString inJapanese(const QString& original) {
    const QString text = original.trimmed();
    if (text.isEmpty() || holdsJapanese(text)) return original;
    QString sentence = QStringLiteral("ｼｽﾃﾑがｴﾗｰを知らせました。");
    for (const Known& known : kKnown) {
        if (text.contains(QLatin1String(known.english), Qt::CaseInsensitive)) {
            sentence = QString::fromUtf8(known.japanese);
            break;
        }
    }
    return sentence + QStringLiteral("（") + text + QStringLiteral("）");
}

}  // namespace systemtext
