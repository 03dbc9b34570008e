#include "vault/Secret.h"

#include "platform/core/PgError.h"

#include <sodium.h>
#include <sys/prctl.h>
#include <cstring>

namespace vault {
namespace {

// From the first secret on the process stays non-dumpable for the rest of the run: once a key has opened
// the diary, freed memory (SQLite's page cache, the window's texts) may hold it long after the key is gone.
void keepOutOfCoreDumps() { ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0); }

}  // namespace

void initCrypto() {
    if (sodium_init() < 0) throw PgError::engine(QStringLiteral("暗号の準備ができませんでした。"));
}

Secret::Secret(std::size_t size) {
    if (size == 0) return;
    initCrypto();
    // sodium_malloc locks the pages, guards them and fills them with garbage; zero them for a clean start.
    data_ = static_cast<unsigned char*>(sodium_malloc(size));
    if (!data_) throw PgError::engine(QStringLiteral("鍵を置くメモリが足りません。"));
    sodium_memzero(data_, size);
    size_ = size;
    keepOutOfCoreDumps();
}

Secret::~Secret() { release(); }

Secret::Secret(Secret&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

Secret& Secret::operator=(Secret&& other) noexcept {
    if (this != &other) {
        release();
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

void Secret::release() {
    if (!data_) return;
    sodium_free(data_);  // wipes before it frees
    data_ = nullptr;
    size_ = 0;
}

Secret Secret::fromText(const QString& text) {
    QString normal = text.normalized(QString::NormalizationForm_C);
    QByteArray utf8 = normal.toUtf8();
    normal.fill(QChar(0));
    Secret secret = fromBytes(utf8);
    sodium_memzero(utf8.data(), std::size_t(utf8.size()));
    return secret;
}

Secret Secret::fromBytes(QByteArrayView bytes) {
    Secret secret(std::size_t(bytes.size()));
    if (!bytes.isEmpty()) std::memcpy(secret.data(), bytes.data(), std::size_t(bytes.size()));
    return secret;
}

bool Secret::operator==(const Secret& other) const {
    return size_ == other.size_ && (size_ == 0 || sodium_memcmp(data_, other.data_, size_) == 0);
}

bool dumpable() { return ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 1; }

}  // namespace vault
