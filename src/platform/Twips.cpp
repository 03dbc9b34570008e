#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace twips {
namespace {
double forcedDpi = 0;

double dpi() {
    if (forcedDpi > 0) return forcedDpi;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->logicalDotsPerInch();
    return 96.0;
}
}  // namespace

int toPixels(int twips) { return static_cast<int>(std::lround(twips * dpi() / 1440.0)); }
int fromPixels(int pixels) { return static_cast<int>(std::lround(pixels * 1440.0 / dpi())); }

QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void setDpiForTesting(double value) { forcedDpi = value; }

}  // namespace twips
