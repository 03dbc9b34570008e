#include "platform/ui/AppSetup.h"

#include "platform/core/Twips.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

namespace appsetup {

const char* japaneseFontFamily() { return "Noto Sans CJK JP"; }

QFont japaneseFont(double points, bool bold) {
    QFont font(QString::fromLatin1(japaneseFontFamily()));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

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
    QApplication::setFont(japaneseFont(9));
    QApplication::setApplicationName(QStringLiteral("Selvane"));
    // The desktop entry's name: the desktop shows its icon and name for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.selvane.Selvane"));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) twips::setDpi(screen->logicalDotsPerInch());
}

}  // namespace appsetup
