#include "platform/core/Twips.h"

#include <cmath>

namespace twips {
namespace {
double screenDpi = 96.0;
}  // namespace

void setDpi(double value) {
    if (value > 0) screenDpi = value;
}

double dpi() { return screenDpi; }

int toPixels(int twips) { return static_cast<int>(std::lround(twips * screenDpi / 1440.0)); }
int fromPixels(int pixels) { return static_cast<int>(std::lround(pixels * 1440.0 / screenDpi)); }

QRect rect(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

}  // namespace twips
