#include "vault/Secret.h"

#include "platform/core/PgError.h"

#include <sodium.h>
#include <sys/prctl.h>
#include <cstring>

namespace vault {
namespace {

// Secrets alive now; the process is non-dumpable while there is one, and afterwards as it was before.
int liveSecrets = 0;
int dumpableBefore = 0;

void secretBorn() {
    if (liveSecrets++ > 0) return;
    dumpableBefore = ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void secretGone() {
    if (--liveSecrets == 0 && dumpableBefore == 1) ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
}

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
    secretBorn();
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
    secretGone();
}

Secret Secret::fromText(const QString& text) {
    QByteArray utf8 = text.normalized(QString::NormalizationForm_C).toUtf8();
    Secret secret(std::size_t(utf8.size()));
    if (!utf8.isEmpty()) std::memcpy(secret.data(), utf8.constData(), std::size_t(utf8.size()));
    sodium_memzero(utf8.data(), std::size_t(utf8.size()));
    return secret;
}

bool Secret::operator==(const Secret& other) const {
    return size_ == other.size_ && (size_ == 0 || sodium_memcmp(data_, other.data_, size_) == 0);
}

bool dumpable() { return ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 1; }

}  // namespace vault
