#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstddef>

namespace vault {

// Bytes that must never reach the disk: keys and passphrases. They live in locked memory (never swapped),
// are wiped when released, and from the first of them on the process is kept out of core dumps.
class Secret {
  public:
    Secret() = default;
    explicit Secret(std::size_t size);  // zero-filled; throws PgError when no locked memory is left
    ~Secret();
    Secret(Secret&& other) noexcept;
    Secret& operator=(Secret&& other) noexcept;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;

    // A passphrase as typed, in one normal form: the same characters give the same key whichever input
    // method composed them.
    static Secret fromText(const QString& text);
    // Bytes as they are (a passphrase read that is no UTF-8 text).
    static Secret fromBytes(QByteArrayView bytes);

    unsigned char* data() { return data_; }
    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool operator==(const Secret& other) const;

  private:
    void release();

    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// Makes the cipher library ready (once); throws PgError when the system gives it no randomness.
void initCrypto();

// Whether the process may leave a core dump now (false once a secret has lived).
bool dumpable();

}  // namespace vault
