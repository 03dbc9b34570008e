#include "vault/Passphrase.h"

#include "data/SettingsStore.h"
#include "platform/core/JaText.h"
#include "platform/core/PgError.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cmath>

namespace vault {
namespace {

constexpr std::size_t kLongestLine = 1024;

double poolBits(const QString& text) {
    bool lower = false, upper = false, digit = false, symbol = false, other = false;
    for (const QChar c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            lower = true;
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            upper = true;
        else if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c.unicode() < 128)
            symbol = true;
        else
            other = true;  // kana and kanji: a large pool, but words of a language, so counted modestly
    }
    const int pool = 26 * lower + 26 * upper + 10 * digit + 33 * symbol + 100 * other;
    return pool > 0 ? std::log2(double(pool)) : 0;
}

}  // namespace

Strength strengthOf(const QString& passphrase) {
    const QList<uint> chars = passphrase.toUcs4();
    if (chars.size() < kShortestPassphrase) return Strength::TooShort;
    int counted = 1;
    for (qsizetype i = 1; i < chars.size(); ++i) {
        const qint64 step = qint64(chars[i]) - qint64(chars[i - 1]);
        if (step < -1 || step > 1) ++counted;
    }
    const double bits = counted * poolBits(passphrase);
    if (bits < 40) return Strength::Weak;
    if (bits < 64) return Strength::Fair;
    return Strength::Strong;
}

QString strengthText(Strength strength) {
    switch (strength) {
        case Strength::TooShort:
            return QStringLiteral("強さ：短すぎます（%1文字以上）").arg(kShortestPassphrase);
        case Strength::Weak:
            return QStringLiteral("強さ：弱い");
        case Strength::Fair:
            return QStringLiteral("強さ：ふつう");
        case Strength::Strong:
            return QStringLiteral("強さ：強い");
    }
    return QString();
}

QString choiceProblem(PassphraseChoice::Action action, const QString& current, const QString& next,
                      const QString& again) {
    using Action = PassphraseChoice::Action;
    if (action != Action::Set && current.isEmpty())
        return QStringLiteral("現在のパスワードを入力して下さい。");
    if (action == Action::Remove) return QString();
    if (next.toUcs4().size() < kShortestPassphrase)
        return QStringLiteral("パスワードは%1文字以上にして下さい。").arg(kShortestPassphrase);
    if (next != again) return QStringLiteral("確認のパスワードが一致しません。");
    return QString();
}

std::optional<Secret> readPassphraseLine(int fd) {
    Secret line(kLongestLine);
    std::size_t size = 0;
    bool any = false;
    for (;;) {
        unsigned char byte = 0;
        const ssize_t got = ::read(fd, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        any = true;
        if (byte == '\n') break;
        if (size == line.size()) throw PgError::engine(QStringLiteral("パスワードが長すぎます。"));
        line.data()[size++] = byte;
    }
    if (!any) return std::nullopt;
    if (size > 0 && line.data()[size - 1] == '\r') --size;
    const QByteArrayView bytes(line.data(), qsizetype(size));
    // Bytes that are no text are kept as they are: read as text, each would become U+FFFD, and any other
    // such bytes in their place would give the same key.
    if (!bytes.isValidUtf8()) return Secret::fromBytes(bytes);
    QString text = QString::fromUtf8(bytes);
    Secret secret = Secret::fromText(text);
    text.fill(QChar(0));
    return secret;
}

bool isText(const Secret& passphrase) {
    return QByteArrayView(passphrase.data(), qsizetype(passphrase.size())).isValidUtf8();
}

std::optional<Secret> earlierForm(const Secret& passphrase) {
    if (isText(passphrase)) return std::nullopt;
    QString text = QString::fromUtf8(QByteArrayView(passphrase.data(), qsizetype(passphrase.size())));
    Secret secret = Secret::fromText(text);
    text.fill(QChar(0));
    return secret;
}

std::optional<Secret> askOnTerminal(const QString& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return std::nullopt;
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    const QByteArray text = prompt.toLocal8Bit();
    if (::write(tty, text.constData(), size_t(text.size())) < 0) {
        // Nothing to do: the prompt is a courtesy, the answer is what counts.
    }
    std::optional<Secret> answer;
    try {
        answer = readPassphraseLine(tty);
    } catch (const PgError&) {
        if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
        ::close(tty);
        throw;
    }
    if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
    ::close(tty);
    return answer;
}

int lockMinutes(const SettingsStore& settings) {
    const auto value = jatext::readDecimal(settings.get(kLockTimeSection, settingkeys::kKey));
    if (!value || !std::isfinite(*value) || *value < 0 || *value > kMostLockMinutes + 0.5)
        return kDefaultLockMinutes;
    return qBound(0, int(jatext::roundToWhole(*value)), kMostLockMinutes);
}

}  // namespace vault
