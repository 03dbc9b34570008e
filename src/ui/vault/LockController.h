#pragma once

#include "session/FeatureHost.h"
#include "vault/LockedStore.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

class QDBusConnection;

namespace vaultui {

class PassphrasePrompt;

// The locked diary while the program runs: the passphrase before the main window, and the lock after idle
// time or when the desktop's screen locks. Locking saves nothing on its own: it asks once about pending
// edits, closes every dialog, empties the main window and hides it, forgets the key and the diary, and asks
// for the passphrase again; she is then back on the same day. It works the main window through the feature
// seam.
class LockController : public QObject {
    Q_OBJECT

  public:
    LockController(session::FeatureHost& host, QString path, QObject* parent = nullptr);

    // Where she is asked for her passphrase; none: nothing opens a locked diary.
    void setPrompt(PassphrasePrompt* prompt) { prompt_ = prompt; }

    // Start-up: a locked diary is opened with her passphrase into the run's Db. False when she cancelled or
    // the file cannot be opened (she has been told why); nothing is written then. True for a plain diary.
    bool unlockAtStart();
    // Watches idle time and the screen lock while the open diary is locked, and nothing while it is plain.
    // Called again whenever the diary's mode or the lock time changes.
    void follow();
    // Locks as soon as no dialog is open (open ones are answered No or cancelled first).
    void lockNow();
    // Whether the diary is locked away now, waiting for the passphrase.
    bool isLocked() const { return locked_; }
    // The locked file that another program wrote since it was opened, opened in place of the run's diary:
    // with the key held when it fits, otherwise with the passphrase asked for. False (she has been told why)
    // when it does not open; the run's diary is then as it was.
    bool reopenChanged();

    // Tells her why a save of the locked diary was refused.
    vault::Refusal refusal() const;
    // Follows the screen lock of this bus (the session's by default); false when it has none.
    bool watchScreenSaver(const QDBusConnection& bus);
    // Idle time in place of the stored minutes, and the time the question before a lock waits (tests).
    void setIdleInterval(std::chrono::milliseconds interval);
    void setAnswerTime(std::chrono::milliseconds time) { answerTime_ = time; }

    // An unanswered question before the lock: the edits are kept for after the unlock.
    static constexpr int kAnswerSeconds = 60;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    void screenSaverChanged(bool active);

  private:
    void tryLock();
    void lock();
    // Asks for the passphrase until it opens the diary; nothing when she cancels or the file cannot be
    // opened (she has been told why).
    std::unique_ptr<DataFile> askUntilOpen();
    void tell(const QString& text, const QString& title);

    session::FeatureHost& host_;
    Module1& m_;
    const Services& services_;
    QString path_;
    PassphrasePrompt* prompt_ = nullptr;
    QTimer idle_;
    std::optional<std::chrono::milliseconds> idleOverride_;
    std::chrono::milliseconds answerTime_ = std::chrono::seconds(kAnswerSeconds);
    std::optional<vault::Written> remembered_;  // the file written last before a lock
    bool pending_ = false;
    bool locking_ = false;
    bool locked_ = false;
    bool watching_ = false;
};

}  // namespace vaultui
