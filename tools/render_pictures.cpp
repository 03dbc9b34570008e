// Renders the program's SVG pictures into the raw images it ships (1x and @2x): width and height as two
// little-endian 32-bit numbers, then premultiplied ARGB32 pixels. Start-up then needs no SVG renderer, no
// image decoder and no image-format plugin.   render_pictures RESOURCES_FOLDER
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool render(const QString& svg, const QSize& size, const QString& out) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return false;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const quint32 header[2] = {quint32(size.width()), quint32(size.height())};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int y = 0; y < image.height(); ++y)
        file.write(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(image.width()) * 4);
    return file.error() == QFile::NoError;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_pictures RESOURCES_FOLDER\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    struct Picture {
        QString svg;
        QSize size;
    };
    QList<Picture> pictures = {{"icons/heart.svg", {32, 32}}, {"icons/heart_pink.svg", {17, 16}}};
    for (const QString& name : QDir(root.filePath("toolbar")).entryList({"*.svg"}, QDir::Files, QDir::Name))
        pictures.append({"toolbar/" + name, {16, 16}});
    int failures = 0;
    for (const Picture& picture : pictures) {
        const QString base = root.filePath(picture.svg).chopped(4);
        for (int scale : {1, 2}) {
            const QString raw = base + (scale == 1 ? QString() : QStringLiteral("@2x")) + ".argb";
            if (!render(root.filePath(picture.svg), picture.size * scale, raw)) {
                std::fprintf(stderr, "cannot render %s\n", qPrintable(picture.svg));
                ++failures;
            }
        }
    }
    return failures ? 1 : 0;
}
