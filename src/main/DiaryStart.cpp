#include "main/DiaryStart.h"

#include "data/SettingsStore.h"
#include "platform/core/Paths.h"
#include "platform/ui/Dialogs.h"
#include "session/Module1.h"

namespace mainwindow {

namespace {

const QString kErrorTitle = QStringLiteral("ｴﾗｰ");

QString offerText(const QString& from, const QString& to) {
    return QStringLiteral(
               "以前のﾃﾞｰﾀﾌｧｲﾙがあります：\r%1\r\r"
               "このﾃﾞｰﾀﾌｧｲﾙとﾊﾞｯｸｱｯﾌﾟを新しい場所にｺﾋﾟｰして使いますか？\r%2\r\r"
               "元のﾌｧｲﾙはそのまま残ります。いいえを選ぶと空のﾃﾞｰﾀﾌｧｲﾙで始めます。"
               "この質問は一度だけです。")
        .arg(paths::inFolder(from, diaryfolder::kDiaryName), to);
}

}  // namespace

bool prepareDiary(const Services& services, const diaryhome::Start& start) {
    if (!start.makesDiary) return true;
    Dialogs& dialogs = *services.dialogs;
    if (start.offer) {
        const bool take = dialogs.askYesNo(nullptr, offerText(*start.offer, start.folder), kAppTitle);
        if (take) {
            const Result<void> moved = diaryhome::moveIn(*start.offer, start.folder);
            if (!moved) {
                // Not remembered: the next start asks again, and nothing was made in her data folder.
                dialogs.message(nullptr,
                                QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙをｺﾋﾟｰできませんでした。\r%1\r"
                                               "元のﾌｧｲﾙはそのまま残っています。次の起動でもう一度尋ねます。")
                                    .arg(moved.message()),
                                kErrorTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
                return false;
            }
        }
        try {
            diaryhome::rememberOffer(*services.settings);
        } catch (const PgError&) {
            // A diary now lies in her folder either way, and the offer is made only where none does.
        }
        if (take) return true;
    }
    const Result<void> made = diaryhome::makeEmptyDiary(start.folder);
    if (!made) {
        dialogs.message(nullptr, made.message(), kErrorTitle, Dialogs::Icon::Exclamation,
                        Dialogs::Buttons::Ok);
        return false;
    }
    return true;
}

}  // namespace mainwindow
