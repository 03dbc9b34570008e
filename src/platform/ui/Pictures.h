#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures, shipped as raw images (1x and @2x) rendered from the SVG drawings in resources/.
namespace pictures {

QIcon windowIcon();                       // the red heart every window carries
QIcon toolbarImage(const QString& name);  // a 16 x 16 toolbar picture, e.g. "floppy"
QPixmap pinkHeart();                      // the small pink heart beside the check boxes

}  // namespace pictures
