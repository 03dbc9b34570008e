#include "platform/AppSetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace appsetup {

const char* japaneseFontFamily() { return "Noto Sans CJK JP"; }

void prepareFonts() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QString::fromLatin1(japaneseFontFamily()));
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), QString::fromLatin1(japaneseFontFamily()));
}

void applyJapanese(QApplication& app) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(&app);
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    QFont font(QString::fromLatin1(japaneseFontFamily()), 9);
    QApplication::setFont(font);
    QApplication::setApplicationName(QStringLiteral("Selvane"));
}

}  // namespace appsetup
