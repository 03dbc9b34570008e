#include "platform/ui/WindowPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace {

// Puts the image on the page at its size on screen, shrunk only where it would not fit the page.
WindowPrinter::Outcome paint(QPrinter& printer, const QImage& image, const QString& documentName) {
    if (image.isNull()) return {false, QStringLiteral("印刷する画像がありません。")};
    printer.setDocName(documentName);
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer)) return {false, QStringLiteral("プリンタを開けませんでした。")};
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double screenDpi = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
    double scale = printer.resolution() / screenDpi;
    scale = std::min({scale, page.width() / image.width(), page.height() / image.height()});
    painter.drawImage(QRectF(0, 0, image.width() * scale, image.height() * scale), image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return {false, QStringLiteral("プリンタへの出力に失敗しました。")};
    return {true, QString()};
}

}  // namespace

WindowPrinter::Outcome DefaultPrinter::print(const QImage& image, const QString& documentName) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return {false, kNoPrinter};
    QPrinter printer(info, QPrinter::HighResolution);
    return paint(printer, image, documentName);
}

WindowPrinter::Outcome PdfFilePrinter::print(const QImage& image, const QString& documentName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path_);
    Outcome outcome = paint(printer, image, documentName);
    if (outcome.printed) ++pages_;
    return outcome;
}
