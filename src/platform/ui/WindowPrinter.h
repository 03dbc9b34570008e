#pragma once

#include <QImage>
#include <QString>

// Prints the image of a window as one page. Production prints on the system's default printer; tests
// print into a PDF file. A failure is reported, never thrown.
// Why nothing was printed when no default printer is set up.
inline const QString kNoPrinter = QStringLiteral("通常使うプリンタが設定されていません。");

class WindowPrinter {
  public:
    struct Outcome {
        bool printed = false;
        QString reason;  // why nothing was printed, for the user
    };

    virtual ~WindowPrinter() = default;
    virtual Outcome print(const QImage& image, const QString& documentName) = 0;
};

// The system's default printer (through CUPS).
class DefaultPrinter : public WindowPrinter {
  public:
    Outcome print(const QImage& image, const QString& documentName) override;
};

// A PDF file at a given path, replaced at each print.
class PdfFilePrinter : public WindowPrinter {
  public:
    explicit PdfFilePrinter(QString path) : path_(std::move(path)) {}
    Outcome print(const QImage& image, const QString& documentName) override;
    int pagesPrinted() const { return pages_; }

  private:
    QString path_;
    int pages_ = 0;
};
