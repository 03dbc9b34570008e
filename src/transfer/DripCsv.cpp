#include "transfer/DripCsv.h"

#include "transfer/Csv.h"

namespace transfer {
namespace {

QStringView trimmedLeft(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && isDripSpace(text[start])) ++start;
    return text.sliced(start);
}

QStringView trimmedRight(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && isDripSpace(text[end - 1])) --end;
    return text.first(end);
}

// A piece outside quotes opens one with a quote not followed by a second, or with three quotes.
bool opensQuote(QStringView piece) {
    if (piece.isEmpty() || piece[0] != u'"') return false;
    if (piece.size() < 3) return true;
    return piece[1] != u'"' || piece[2] == u'"';
}

// A piece closes an open quote when, trimmed, it ends in an odd number of quotes.
bool closesQuote(QStringView piece) {
    const QStringView trimmed = trimmedRight(piece);
    qsizetype quotes = 0;
    while (quotes < trimmed.size() && trimmed[trimmed.size() - 1 - quotes] == u'"') ++quotes;
    return quotes % 2 == 1;
}

QString unescaped(QString text) { return text.replace(QStringLiteral("\"\""), QStringLiteral("\"")); }

}  // namespace

bool isDripSpace(QChar c) {
    switch (c.unicode()) {
        case 0x09:
        case 0x0A:
        case 0x0B:
        case 0x0C:
        case 0x0D:
        case 0xFEFF:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return c.category() == QChar::Separator_Space;
    }
}

DripCsvReader::DripCsvReader(QStringView text) : text_(text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r') continue;
        const bool crlf = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        lineEnd_ = text.sliced(i, crlf ? 2 : 1);
        break;
    }
}

bool DripCsvReader::nextLine(QStringView* line) {
    if (pos_ >= text_.size()) return false;
    const qsizetype end = lineEnd_.isEmpty() ? -1 : text_.indexOf(lineEnd_, pos_);
    const qsizetype stop = end < 0 ? text_.size() : end;
    *line = text_.sliced(pos_, stop - pos_);
    pos_ = end < 0 ? text_.size() : end + lineEnd_.size();
    ++line_;
    return true;
}

bool DripCsvReader::next(CsvRecord* record) {
    if (!error_.isEmpty()) return false;
    QStringView line;
    do {
        if (!nextLine(&line)) return false;
    } while (line.isEmpty());
    record->fields.clear();
    record->line = line_;
    // A quote still open at a line's end joins the next line to the piece, the line break inside it. While
    // the piece that opened the quote goes on (no comma yet), its close keeps everything up to its last
    // quote; a quote closed in a later piece loses the closing character and the white space at its end.
    bool open = false;
    bool opening = false;
    QString cell;
    for (;;) {
        qsizetype start = 0;
        for (bool first = true;; first = false) {
            const qsizetype comma = line.indexOf(u',', start);
            const QStringView piece = line.sliced(start, (comma < 0 ? line.size() : comma) - start);
            if (open) {
                if (first) {
                    cell += lineEnd_;
                } else {
                    cell += u',';
                    opening = false;
                }
                cell += piece;
                if (closesQuote(piece)) {
                    open = false;
                    if (opening) {
                        cell.truncate(cell.lastIndexOf(u'"'));
                        record->fields.append(unescaped(cell));
                    } else {
                        cell.chop(1);
                        record->fields.append(trimmedRight(unescaped(cell)).toString());
                    }
                }
            } else {
                const QStringView text = trimmedLeft(piece);
                if (text == u"\"\"") {
                    record->fields.append(QString());
                } else if (opensQuote(text)) {
                    const QStringView rest = text.sliced(1);
                    if (closesQuote(rest)) {
                        record->fields.append(unescaped(rest.first(rest.lastIndexOf(u'"')).toString()));
                    } else {
                        open = true;
                        opening = true;
                        cell = rest.toString();
                    }
                } else {
                    record->fields.append(trimmedRight(text).toString());
                }
            }
            if (comma < 0) break;
            start = comma + 1;
        }
        if (!open) return true;
        if (!nextLine(&line)) {
            errorLine_ = record->line;
            error_ = QStringLiteral("引用符（\"）が閉じていません。");
            return false;
        }
    }
}

void appendDripField(QByteArray& out, QStringView field) {
    // drip trims a field that is not quoted: spaces at its ends are kept by quoting it.
    appendCsvField(out, field, !field.isEmpty() && (isDripSpace(field.front()) || isDripSpace(field.back())));
}

}  // namespace transfer
