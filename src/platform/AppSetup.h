#pragma once

class QApplication;

namespace appsetup {

// Japanese everywhere whatever the machine's locale: default locale, Qt's own Japanese texts for the
// standard buttons (はい/いいえ), and a CJK font standing in for the Japanese system font.
void prepareFonts();                    // before any widget exists
void applyJapanese(QApplication& app);  // after the application object exists

// The font family that stands in for "ＭＳ Ｐゴシック".
const char* japaneseFontFamily();

}  // namespace appsetup
