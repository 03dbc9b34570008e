#include "transfer/TextDecoding.h"

#include <iconv.h>
#include <QStringDecoder>
#include <cerrno>

namespace transfer {
namespace {

int lineAt(const QByteArray& bytes, qsizetype offset) {
    return int(QByteArrayView(bytes).first(qMin(offset, bytes.size())).count('\n')) + 1;
}

// Decodes with the C library's converter; on a byte sequence that is not text in that encoding, gives its
// offset instead.
std::optional<QString> convert(const char* encoding, const QByteArray& bytes, qsizetype* badOffset) {
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd ==
        reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's own failure value
        *badOffset = 0;
        return std::nullopt;
    }
    QByteArray out(bytes.size() * 3 / 2 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1)) continue;
        if (errno == E2BIG) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = size_t(out.size() - used);
            continue;
        }
        ok = false;  // EILSEQ: not text; EINVAL: a character cut off at the end
        break;
    }
    iconv_close(cd);
    if (!ok) {
        *badOffset = in - bytes.constData();
        return std::nullopt;
    }
    out.truncate(outPtr - out.data());
    return QString::fromUtf8(out);
}

}  // namespace

DecodedText decodeText(const QByteArray& bytes) {
    DecodedText result;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    // A NUL in the header line means UTF-16 or no text at all; further on it is a character of her diary
    // (the entry keeps one, and her own export must read back).
    const qsizetype lineEnd = bytes.indexOf('\n');
    const qsizetype nul = QByteArrayView(bytes).first(lineEnd < 0 ? bytes.size() : lineEnd).indexOf('\0');
    if (nul >= 0 || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        result.badLine = 1;
        return result;
    }
    const QByteArray body = bom ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        result.ok = true;
        result.text = std::move(text);
        result.encoding = QStringLiteral("UTF-8");
        return result;
    }
    qsizetype utf8Bad = 0;
    convert("UTF-8", body, &utf8Bad);
    qsizetype sjisBad = 0;
    if (!bom) {
        if (auto sjis = convert("CP932", body, &sjisBad)) {
            result.ok = true;
            result.text = std::move(*sjis);
            result.encoding = QStringLiteral("Shift_JIS");
            return result;
        }
    }
    // The later failure is the telling one: a UTF-8 file fails as Shift_JIS early, and the other way round.
    result.badLine = lineAt(body, qMax(utf8Bad, sjisBad));
    return result;
}

}  // namespace transfer
