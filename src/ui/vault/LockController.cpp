#include "ui/vault/LockController.h"

#include "platform/core/PgError.h"
#include "platform/ui/Dialogs.h"
#include "ui/vault/PassphrasePrompt.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"

#include <QApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QThread>
#include <QWidget>

namespace vaultui {

namespace {

const QString kLockQuestion = QStringLiteral(
    "日記をﾛｯｸします。変更されたﾃﾞｰﾀを保存しますか？\r（1分以内にお答えがなければ、変更は保存せずに取っ"
    "ておき、ﾛｯｸを解除した後にお尋ねします）");
const QString kSaveTitle = QStringLiteral("保存確認");
const QString kErrorTitle = QStringLiteral("ｴﾗｰ");

bool isInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        default:
            return false;
    }
}

// Closes whatever dialog or menu is open: a question answers No, any other dialog is cancelled.
bool closeOneOpenDialog() {
    QWidget* open = QApplication::activePopupWidget();
    if (!open) open = QApplication::activeModalWidget();
    if (!open) return false;
    open->close();
    return true;
}

}  // namespace

LockController::LockController(session::FeatureHost& host, QString path, QObject* parent)
    : QObject(parent), host_(host), m_(host.module()), services_(host.services()), path_(std::move(path)) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &LockController::lockNow);
}

vault::Refusal LockController::refusal() const {
    Dialogs* dialogs = services_.dialogs;
    QWidget* parent = host_.mainWindow();
    return [dialogs, parent](const QString& text) {
        dialogs->message(parent, text, kErrorTitle, Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    };
}

void LockController::tell(const QString& text, const QString& title) {
    services_.dialogs->message(host_.mainWindow(), text, title, Dialogs::Icon::Exclamation,
                               Dialogs::Buttons::Ok);
}

bool LockController::unlockAtStart() {
    if (m_.Db || !vault::isLockedFile(path_)) return true;
    std::unique_ptr<DataFile> file = askUntilOpen();
    if (!file) return false;
    m_.Db = std::move(file);
    follow();
    return true;
}

std::unique_ptr<DataFile> LockController::askUntilOpen() {
    vault::LockedFile file = vault::readLockedFile(path_);
    // A plain file where her locked diary was is someone else's doing.
    const vault::Fault fault = file.fault == vault::Fault::NotLocked ? vault::Fault::Changed : file.fault;
    if (fault != vault::Fault::None) {
        tell(vault::faultText(fault), kErrorTitle);
        return nullptr;
    }
    while (prompt_) {
        const std::optional<vault::Secret> passphrase = prompt_->askUnlock(nullptr);
        if (!passphrase) break;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        vault::Unlocked opened;
        try {
            opened = vault::unlock(path_, file, *passphrase, remembered_, refusal());
        } catch (const PgError& error) {
            QApplication::restoreOverrideCursor();
            tell(error.description(), kErrorTitle);
            return nullptr;
        }
        QApplication::restoreOverrideCursor();
        if (opened.fault == vault::Fault::None) return std::move(opened.file);
        if (opened.fault == vault::Fault::WrongPassphrase) {
            tell(vault::kWrongPassphrase, kAppTitle);
            continue;
        }
        tell(vault::faultText(opened.fault), kErrorTitle);
        break;
    }
    return nullptr;
}

bool LockController::reopenChanged() {
    vault::LockedStore* store = vault::lockedStore(m_.Db.get());
    if (!store) return true;
    vault::LockedFile file = vault::readLockedFile(path_);
    std::unique_ptr<DataFile> opened;
    try {
        if (file.fault == vault::Fault::NotLocked) {
            opened = DataFile::open(path_);  // the passphrase was removed meanwhile
        } else if (file.fault != vault::Fault::None) {
            tell(vault::faultText(file.fault), kErrorTitle);
            return false;
        } else if (file.header.salt == store->written().salt &&
                   file.header.generation < store->written().generation) {
            tell(vault::faultText(vault::Fault::Older), kErrorTitle);
            return false;
        } else {
            opened = store->reopen(std::move(file), refusal());
        }
    } catch (const PgError& error) {
        tell(error.description(), kErrorTitle);
        return false;
    }
    if (!opened) opened = askUntilOpen();  // sealed with another passphrase meanwhile
    if (!opened) return false;
    m_.Db = std::move(opened);
    follow();
    return true;
}

void LockController::follow() {
    const bool locked = vault::lockedStore(m_.Db.get()) != nullptr;
    const int minutes =
        services_.settings ? vault::lockMinutes(*services_.settings) : vault::kDefaultLockMinutes;
    const std::chrono::milliseconds interval = idleOverride_.value_or(std::chrono::minutes(minutes));
    if (!locked || interval.count() == 0) {
        idle_.stop();
        qApp->removeEventFilter(this);
    } else {
        idle_.start(interval);
        qApp->installEventFilter(this);
    }
    if (locked && !watching_) watchScreenSaver(QDBusConnection::sessionBus());
}

void LockController::setIdleInterval(std::chrono::milliseconds interval) {
    idleOverride_ = interval;
    follow();
}

bool LockController::watchScreenSaver(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusConnection connection(bus);
    // The freedesktop name, and GNOME's own, which sends the same signal.
    bool any = connection.connect(QString(), QStringLiteral("/org/freedesktop/ScreenSaver"),
                                  QStringLiteral("org.freedesktop.ScreenSaver"),
                                  QStringLiteral("ActiveChanged"), this, SLOT(screenSaverChanged(bool)));
    any |= connection.connect(QString(), QStringLiteral("/org/gnome/ScreenSaver"),
                              QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("ActiveChanged"), this,
                              SLOT(screenSaverChanged(bool)));
    watching_ = watching_ || any;
    return any;
}

void LockController::screenSaverChanged(bool active) {
    if (active && vault::lockedStore(m_.Db.get())) lockNow();
}

bool LockController::eventFilter(QObject* watched, QEvent* event) {
    if (isInput(event->type()) && idle_.isActive()) idle_.start();
    return QObject::eventFilter(watched, event);
}

void LockController::lockNow() {
    if (!vault::lockedStore(m_.Db.get())) return;
    pending_ = true;
    tryLock();
}

void LockController::tryLock() {
    if (!pending_ || locking_) return;
    // No handler may hold the diary across the lock: every open dialog is closed first, and the lock waits
    // until the code that opened it has returned to the main loop.
    if (closeOneOpenDialog() || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(50, this, &LockController::tryLock);
        return;
    }
    pending_ = false;
    lock();
}

void LockController::lock() {
    locking_ = true;
    idle_.stop();
    QWidget* window = host_.mainWindow();
    if (m_.DataChanged) {
        // Asked once; after a while without an answer (she has usually walked away) the question is closed
        // and her edits are kept, sealed, to be offered after the unlock as after a kill.
        bool unanswered = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, &answer, [&answer, &unanswered] {
            unanswered = true;
            closeOneOpenDialog();
            answer.setInterval(100);
        });
        answer.start(answerTime_);
        const bool save = services_.dialogs->askYesNo(window, kLockQuestion, kSaveTitle);
        answer.stop();
        if (unanswered) {
            host_.keepEdits();
        } else if (save) {
            host_.saveEdits();
            // A save that failed keeps the edits on screen; they are kept for after the unlock too.
            if (m_.DataChanged) host_.keepEdits();
        }
    }
    const bool visible = window->isVisible();
    host_.hideDiary();
    window->hide();
    if (vault::LockedStore* store = vault::lockedStore(m_.Db.get())) remembered_ = store->written();
    m_.Db.reset();  // the key and the diary in memory are wiped with it
    locked_ = true;
    // Only the passphrase dialog is on screen now; closing it must not count as the last window closed.
    const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<DataFile> file = askUntilOpen();
    QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);
    locked_ = false;
    locking_ = false;
    pending_ = false;  // a screen lock seen while the passphrase was asked is this very lock
    if (!file) {
        if (services_.endProcess) services_.endProcess();
        return;
    }
    m_.Db = std::move(file);
    host_.showDiaryAgain();
    if (visible) window->show();
    follow();
}

}  // namespace vaultui
