#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated values as RFC 4180 has them: fields in double quotes may hold commas, quotes (doubled) and
// line breaks. Records end in CRLF, LF or CR; blank lines between records are passed over.
namespace transfer {

// One record and the line of the file it starts on (counted from 1, as a text editor counts).
struct CsvRecord {
    QStringList fields;
    int line = 0;
};

class CsvReader {
  public:
    explicit CsvReader(QStringView text) : text_(text) {}
    // The next record; false at the end or on a fault (then error() says what, on errorLine()).
    bool next(CsvRecord* record);
    const QString& error() const { return error_; }
    int errorLine() const { return errorLine_; }
    qsizetype position() const { return pos_; }

  private:
    bool fail(int line, const QString& what);
    QStringView text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    QString error_;
    int errorLine_ = 0;
};

// Appends one field, quoted when it holds a comma, a quote or a line break, or when quoted says so (inner
// quotes doubled).
void appendCsvField(QByteArray& out, QStringView field, bool quoted = false);

}  // namespace transfer
