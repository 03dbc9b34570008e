#pragma once

#include <QRect>

// Layout sizes are given in twips (1/1440 inch); they become pixels at the screen's logical DPI.
namespace twips {

int toPixels(int twips);
int fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);
// For tests and benches that want fixed metrics.
void setDpiForTesting(double dpi);

}  // namespace twips
