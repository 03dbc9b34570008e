#include "cli/DiaryAccess.h"
#include "cli/CliPaths.h"

#include "data/DataFile.h"
#include "platform/core/PgError.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"

#include <QDir>
#include <QFileInfo>

namespace cli {
namespace {

const QString kPassphrasePrompt = QStringLiteral("ﾊﾟｽﾜｰﾄﾞ: ");
const QString kCannotOpen = QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙを開けません：");

// A locked diary opened with one passphrase (kept in *kept when asked); the reason on err when it does not
// open.
std::unique_ptr<DataFile> openLocked(Context& context, const QString& path, const QString& prompt,
                                     vault::Secret* kept = nullptr) {
    vault::LockedFile file = vault::readLockedFile(path);
    if (file.fault != vault::Fault::None) {
        context.err << kCannotOpen << oneLine(vault::faultText(file.fault)) << Qt::endl;
        return nullptr;
    }
    std::optional<vault::Secret> passphrase = readPassphrase(context, prompt);
    if (!passphrase) return nullptr;
    Result<std::unique_ptr<DataFile>> opened = vault::openLocked(path, std::move(file), *passphrase);
    if (opened) {
        if (kept) *kept = std::move(*passphrase);
        return std::move(opened).value();
    }
    // What is wrong with the file or the passphrase is said in her words; an error of the program with more.
    context.err << (opened.failure().number != 0 ? kCannotOpen : QString()) << oneLine(opened.message())
                << Qt::endl;
    return nullptr;
}

}  // namespace

QString oneLine(QString text) { return text.replace(u'\r', u' '); }

std::optional<vault::Secret> readPassphrase(Context& context, const QString& prompt) {
    try {
        if (context.passphraseFd >= 0) {
            std::optional<vault::Secret> line = vault::readPassphraseLine(context.passphraseFd);
            if (!line)
                context.err << QStringLiteral("--passphrase-fd %1 からﾊﾟｽﾜｰﾄﾞを読めませんでした。")
                                   .arg(context.passphraseFd)
                            << Qt::endl;
            return line;
        }
        std::optional<vault::Secret> typed = vault::askOnTerminal(prompt);
        if (!typed)
            context.err
                << QStringLiteral(
                       "ﾊﾟｽﾜｰﾄﾞを読めませんでした。端末のないときは --passphrase-fd N で渡して下さい。")
                << Qt::endl;
        return typed;
    } catch (const PgError& error) {
        context.err << oneLine(error.description()) << Qt::endl;
        return std::nullopt;
    }
}

std::unique_ptr<DataFile> openPlainDiary(const QString& path, QTextStream& err) {
    if (!QFileInfo(path).isFile()) {
        err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません：") << shownPath(path) << Qt::endl;
        return nullptr;
    }
    Result<std::unique_ptr<DataFile>> opened = attempt([&path] { return DataFile::open(path); });
    if (opened) return std::move(opened).value();
    err << kCannotOpen << oneLine(opened.message()) << Qt::endl;
    return nullptr;
}

std::unique_ptr<DataFile> Context::openDiary(const QString& prompt) {
    const QString path = dataPath();
    if (QFileInfo(path).isFile() && vault::isLockedFile(path))
        return openLocked(*this, path, prompt.isEmpty() ? kPassphrasePrompt : prompt);
    return openPlainDiary(path, err);
}

std::unique_ptr<DataFile> openDiaryKeeping(Context& context, std::optional<vault::Secret>* passphrase) {
    const QString path = context.dataPath();
    if (!QFileInfo(path).isFile() || !vault::isLockedFile(path)) return openPlainDiary(path, context.err);
    vault::Secret kept;
    std::unique_ptr<DataFile> opened = openLocked(context, path, kPassphrasePrompt, &kept);
    if (opened) *passphrase = std::move(kept);
    return opened;
}

DiaryAccess diaryAccess(Context& context) {
    DiaryAccess access;
    if (vault::isLockedFile(context.dataPath()))
        access.open = [&context](const QString& path, QTextStream&) {
            return openLocked(context, path, kPassphrasePrompt);
        };
    // A sealed backup opens with the diary's key, or with the next passphrase read for it.
    access.sealed = [&context](DataFile& diary, const QString& path, bool ask) {
        std::function<std::optional<vault::Secret>()> asking;
        if (ask)
            asking = [&context] { return readPassphrase(context, QStringLiteral("ﾊﾞｯｸｱｯﾌﾟのﾊﾟｽﾜｰﾄﾞ: ")); };
        return vault::openSealedCopy(path, vault::lockedStore(&diary), asking);
    };
    return access;
}

}  // namespace cli
