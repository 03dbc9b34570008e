#pragma once

#include <QRect>

// Layout sizes are given in twips (1/1440 inch); they become pixels at the screen's logical DPI, which the
// user interface sets once its screen is known (96 until then).
namespace twips {

void setDpi(double dpi);
double dpi();
int toPixels(int twips);
int fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);

}  // namespace twips
