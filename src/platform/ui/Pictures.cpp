#include "platform/ui/Pictures.h"

#include <QCoreApplication>
#include <QImage>
#include <QResource>
#include <QtEndian>

// The pictures live in this static library's resources, registered the first time one is read.
static void registerPictures() {
    static const bool once = [] {
        Q_INIT_RESOURCE(selvane);
        return true;
    }();
    (void)once;
}

namespace pictures {
namespace {

// A raw picture of the resources: width and height, then premultiplied ARGB32 pixels, stored uncompressed,
// so it is shown straight from the program's image without decoding.
QPixmap raw(const QString& path) {
    registerPictures();
    const QResource resource(path);
    const qint64 size = resource.size();
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression || size < 8)
        return {};
    const uchar* data = resource.data();
    const int width = int(qFromLittleEndian<quint32>(data));
    const int height = int(qFromLittleEndian<quint32>(data + 4));
    if (width <= 0 || height <= 0 || size != 8 + qint64(width) * height * 4) return {};
    return QPixmap::fromImage(
        QImage(data + 8, width, height, qsizetype(width) * 4, QImage::Format_ARGB32_Premultiplied));
}

QIcon icon(const QString& base) {
    QIcon icon(raw(base + QStringLiteral(".argb")));
    QPixmap large = raw(base + QStringLiteral("@2x.argb"));
    large.setDevicePixelRatio(2);
    icon.addPixmap(large);
    return icon;
}

}  // namespace

QIcon windowIcon() {
    // The list window sets it at each opening: it is made once, and let go with the application.
    static QIcon* made = nullptr;
    if (!made) {
        made = new QIcon(icon(QStringLiteral(":/icons/heart")));
        qAddPostRoutine([] {
            delete made;
            made = nullptr;
        });
    }
    return *made;
}

QIcon toolbarImage(const QString& name) { return icon(QStringLiteral(":/toolbar/") + name); }

QPixmap pinkHeart() { return raw(QStringLiteral(":/icons/heart_pink.argb")); }

}  // namespace pictures
