#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The text of a file in the encodings a Japanese spreadsheet saves: UTF-8 with or without a byte-order mark,
// or Shift_JIS (Windows code page 932).
namespace transfer {

struct DecodedText {
    bool ok = false;
    QString text;
    QString encoding;  // "UTF-8" or "Shift_JIS"
    int badLine = 0;   // when not ok: the first line holding bytes that are not text
};

DecodedText decodeText(const QByteArray& bytes);

}  // namespace transfer
