#pragma once

#include "transfer/Csv.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The CSV of the phone app drip as drip's own parser reads it. It is not RFC 4180: a line is cut at every
// comma and the pieces are put together again, a piece outside quotes is trimmed, and quotes are undone only
// in a piece that opens with one; so drip's own export, which doubles a quote without quoting the text
// (`""quoted"" start`), reads back as it was written.
namespace transfer {

class DripCsvReader {
  public:
    explicit DripCsvReader(QStringView text);
    // The next record (blank lines are passed over); false at the end or on a quote never closed (then
    // error() says so, on errorLine()).
    bool next(CsvRecord* record);
    const QString& error() const { return error_; }
    int errorLine() const { return errorLine_; }
    qsizetype position() const { return pos_; }

  private:
    bool nextLine(QStringView* line);
    QStringView text_;
    QStringView lineEnd_;  // the first line break of the text: records end only in that one
    qsizetype pos_ = 0;
    int line_ = 0;
    QString error_;
    int errorLine_ = 0;
};

// What drip's parser trims from a piece outside quotes: JavaScript's white space and line ends (the
// ideographic space and U+FEFF among them).
bool isDripSpace(QChar c);

// Appends one field so that drip's parser reads it back as it is: in quotes (inner quotes doubled) when it
// holds a comma, a quote or a line break, or begins or ends with what the parser would trim. A text that
// holds a comma still loses the white space at its end: drip's parser trims a text joined from pieces.
void appendDripField(QByteArray& out, QStringView field);

}  // namespace transfer
