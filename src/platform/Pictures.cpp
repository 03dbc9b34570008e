#include "platform/Pictures.h"

namespace pictures {

QIcon windowIcon() { return QIcon(QStringLiteral(":/icons/heart.png")); }

QIcon toolbarImage(const QString& name) { return QIcon(QStringLiteral(":/toolbar/%1.png").arg(name)); }

QPixmap pinkHeart() { return QIcon(QStringLiteral(":/icons/heart_pink.png")).pixmap(QSize(17, 16)); }

}  // namespace pictures
