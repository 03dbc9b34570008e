#include "transfer/Csv.h"

namespace transfer {

bool CsvReader::fail(int line, const QString& what) {
    errorLine_ = line;
    error_ = what;
    return false;
}

bool CsvReader::next(CsvRecord* record) {
    const qsizetype size = text_.size();
    // Blank lines are passed over, so a file that ends in a line break has no empty last record.
    while (pos_ < size && (text_[pos_] == u'\n' || text_[pos_] == u'\r')) {
        if (text_[pos_] == u'\r' && pos_ + 1 < size && text_[pos_ + 1] == u'\n') ++pos_;
        ++pos_;
        ++line_;
    }
    if (pos_ >= size || !error_.isEmpty()) return false;
    record->fields.clear();
    record->line = line_;
    while (true) {
        QString field;
        if (pos_ < size && text_[pos_] == u'"') {
            const int opened = line_;
            ++pos_;
            while (true) {
                if (pos_ >= size) return fail(opened, QStringLiteral("引用符（\"）が閉じていません。"));
                const QChar c = text_[pos_];
                if (c == u'"') {
                    if (pos_ + 1 < size && text_[pos_ + 1] == u'"') {
                        field += u'"';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                if (c == u'\n' || (c == u'\r' && !(pos_ + 1 < size && text_[pos_ + 1] == u'\n'))) ++line_;
                field += c;
                ++pos_;
            }
            if (pos_ < size && text_[pos_] != u',' && text_[pos_] != u'\n' && text_[pos_] != u'\r')
                return fail(line_, QStringLiteral("引用符（\"）の後に余分な文字があります。"));
        } else {
            // An unquoted field runs to the next comma or line end; a quote inside it is taken as it is.
            const qsizetype start = pos_;
            while (pos_ < size && text_[pos_] != u',' && text_[pos_] != u'\n' && text_[pos_] != u'\r') ++pos_;
            field = text_.mid(start, pos_ - start).toString();
        }
        record->fields.append(field);
        if (pos_ >= size) return true;
        if (text_[pos_] == u',') {
            ++pos_;
            continue;
        }
        // The record's line end.
        if (text_[pos_] == u'\r' && pos_ + 1 < size && text_[pos_ + 1] == u'\n') ++pos_;
        ++pos_;
        ++line_;
        return true;
    }
}

void appendCsvField(QByteArray& out, QStringView field, bool quoted) {
    bool quote = quoted;
    for (qsizetype i = 0; !quote && i < field.size(); ++i) {
        const QChar c = field[i];
        quote = c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    }
    if (!quote) {
        out += field.toUtf8();
        return;
    }
    out += '"';
    out += field.toUtf8().replace('"', "\"\"");
    out += '"';
}

}  // namespace transfer
