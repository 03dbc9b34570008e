// Shows one of the whole-diary dialogs as she would see it, for looking at under a screenshot tool:
//   show_transfer_dialogs export|import|summary|restore|confirm
#include "platform/ui/AppSetup.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    const QString which = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    QtDialogs dialogs;
    if (which == u"export")
        dialogs.chooseFile(nullptr,
                           {QStringLiteral("全ﾃﾞｰﾀの書き出し"),
                            {QStringLiteral("Selvane CSV (*.csv)"), QStringLiteral("drip CSV (*.csv)")},
                            QDir::current().filePath(QStringLiteral("selvane-20240503.csv")),
                            true});
    if (which == u"import")
        dialogs.chooseFile(nullptr, {QStringLiteral("ﾃﾞｰﾀの読み込み"),
                                     {QStringLiteral("CSV ﾌｧｲﾙ (*.csv)"), QStringLiteral("すべてのﾌｧｲﾙ (*)")},
                                     QDir::currentPath(),
                                     false});
    if (which == u"summary")
        dialogs.compare(
            nullptr,
            QStringLiteral("drip-export.csv（drip の形式、UTF-8）\r\r新しい日：412日\r内容の同じ日：30日\r"
                           "内容の違う日：2日\r\r内容の違う日のうち、ﾌｧｲﾙのﾃﾞｰﾀにする日にﾁｪｯｸを入れて下さい"
                           "（ﾁｪｯｸのない日は自分のﾃﾞｰﾀを残します）。"),
            QStringLiteral("ﾃﾞｰﾀの読み込み"),
            {QStringLiteral("日付・項目"), QStringLiteral("自分のﾃﾞｰﾀ"), QStringLiteral("ﾌｧｲﾙのﾃﾞｰﾀ")},
            {{QStringLiteral("2024/05/02(木)"),
              {QStringLiteral("基礎体温\t36.55\t36.6"), QStringLiteral("体温の除外\tあり\tなし"),
               QStringLiteral("日記\t雨。傘を忘れた\t（なし）")}},
             {QStringLiteral("2024/05/03(金)"), {QStringLiteral("月経\tなし\tあり")}}});
    if (which == u"restore")
        dialogs.choose(
            nullptr, QStringLiteral("戻すﾊﾞｯｸｱｯﾌﾟを選んで下さい（新しい順）。"),
            QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻す"),
            {QStringLiteral("2024年05月03日 21:14:05\t読み込みの前\t1461日分\t最新の日 2024年05月03日"),
             QStringLiteral(
                 "2024年05月03日 08:02:11\tその日最初の登録の後\t1460日分\t最新の日 2024年05月03日"),
             QStringLiteral(
                 "2024年05月02日 07:58:40\tその日最初の登録の後\t1459日分\t最新の日 2024年05月02日"),
             QStringLiteral("2024年04月30日 22:10:03\tﾒﾝﾃﾅﾝｽの前\t1530日分\t最新の日 2024年04月30日"),
             QStringLiteral("2024年03月31日 07:45:12\t手動\t（暗号化されています）")});
    if (which == u"confirm")
        dialogs.askYesNo(nullptr,
                         QStringLiteral("今の日記を 2024年05月03日 08:02 のﾊﾞｯｸｱｯﾌﾟの内容に置き換えます。\r"
                                        "戻すと：\r　加わる日（ﾊﾞｯｸｱｯﾌﾟにだけある日）：0日\r"
                                        "　なくなる日（今の日記にだけある日）：1日\r　内容の変わる日：3日\r"
                                        "今の日記はその前にﾊﾞｯｸｱｯﾌﾟします。\rよろしいですか？"),
                         QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから戻す"));
    return 0;
}
