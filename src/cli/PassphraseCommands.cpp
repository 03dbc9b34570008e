// Setting, changing and removing the diary's passphrase from the command line, as the Settings menu does.
#include "cli/CommandLine.h"
#include "cli/DiaryAccess.h"
#include "cli/SyncRecording.h"
#include "data/DataFile.h"
#include "data/Recovery.h"
#include "platform/core/Paths.h"
#include "transfer/Backups.h"
#include "vault/LockedDiary.h"
#include "vault/Passphrase.h"
#include "vault/PassphraseChange.h"

namespace cli {
namespace {

using Action = vault::PassphraseChoice::Action;

const QCommandLineOption kSetPassphrase(
    QStringLiteral("set-passphrase"),
    QStringLiteral(
        "日記にﾊﾟｽﾜｰﾄﾞを設定して暗号化します（設定済みなら変更します：今のﾊﾟｽﾜｰﾄﾞ、新しいﾊﾟｽﾜｰﾄﾞの順）。"));
const QCommandLineOption kRemovePassphrase(QStringLiteral("remove-passphrase"),
                                           QStringLiteral("日記のﾊﾟｽﾜｰﾄﾞを解除し、暗号化せずに保存します。"));

// The checks of the passphrase dialog, on the texts of the passphrases read; the texts are wiped after. Bytes
// that are no text are refused first: the dialogs could never type them.
QString problemOf(const vault::Secret& next, const vault::Secret& again, QString* strength) {
    if (!vault::isText(next) || !vault::isText(again)) return vault::kNotText;
    const auto text = [](const vault::Secret& secret) {
        return QString::fromUtf8(reinterpret_cast<const char*>(secret.data()), qsizetype(secret.size()));
    };
    QString nextText = text(next);
    QString againText = text(again);
    QString problem = vault::choiceProblem(Action::Set, {}, nextText, againText);
    *strength = vault::strengthText(vault::strengthOf(nextText));
    nextText.fill(QChar(0));
    againText.fill(QChar(0));
    return problem;
}

// The new passphrase: twice on a terminal, once from --passphrase-fd (a script has typed it once).
std::optional<vault::Secret> readNew(Context& context) {
    std::optional<vault::Secret> next = readPassphrase(context, QStringLiteral("新しいﾊﾟｽﾜｰﾄﾞ: "));
    if (!next) return std::nullopt;
    std::optional<vault::Secret> again;
    if (context.passphraseFd < 0) {
        again = readPassphrase(context, QStringLiteral("もう一度入力して下さい: "));
        if (!again) return std::nullopt;
    }
    QString strength;
    const QString problem = problemOf(*next, again ? *again : *next, &strength);
    if (!problem.isEmpty()) {
        context.err << problem << Qt::endl;
        return std::nullopt;
    }
    context.err << strength << Qt::endl;
    return next;
}

QString keptEditsPath(const Context& context) {
    return paths::inFolder(context.appFolder, recovery::kFileName);
}

// Edits kept from a session that ended without the closing questions follow the new key, and she hears of
// them; false when they could not.
bool toldOfKeptEdits(Context& context, const vault::PassphraseChanged& changed) {
    if (!changed.keptEdits) return true;
    if (!changed.carried) {
        context.err << vault::kEditsNotCarried << oneLine(changed.carried.message()) << Qt::endl;
        return false;
    }
    context.err << QStringLiteral(
                       "保存されずに終了した編集も新しい設定で書き直しました。次の起動で保存するか尋ねます。")
                << Qt::endl;
    return true;
}

int runSet(const QCommandLineParser&, Context& context) {
    // A locked diary changes its passphrase: the one it has first, which opens it.
    const bool locked = vault::isLockedFile(context.dataPath());
    std::unique_ptr<DataFile> held = context.openDiary(locked ? QStringLiteral("今のﾊﾟｽﾜｰﾄﾞ: ") : QString());
    if (!held) return Refused;  // no diary, or none that opens
    const std::optional<vault::Secret> next = readNew(context);
    if (!next) return Refused;
    const Result<vault::PassphraseChanged> changed = vault::changePassphrase(
        held, context.dataPath(), keptEditsPath(context), locked ? Action::Change : Action::Set, *next, {});
    if (!changed) {
        context.err << QStringLiteral("パスワードの設定を変えられませんでした。")
                    << oneLine(changed.message()) << Qt::endl;
        return Refused;
    }
    context.err << (locked ? QStringLiteral("パスワードを変更しました。")
                           : QStringLiteral("パスワードを設定しました。日記は暗号化して保存されます。"))
                << Qt::endl;
    sealSyncFolderWith(context, *next);
    if (!toldOfKeptEdits(context, changed.value())) return Refused;
    // Copies made before the passphrase still give the diary away; she decides what becomes of them.
    const qsizetype plain = vault::plainCopies(transfer::backupFolderBeside(context.dataPath())).size();
    context.err << QStringLiteral("暗号化されていない以前のﾊﾞｯｸｱｯﾌﾟが%1個残っています。").arg(plain);
    if (plain > 0) context.err << QStringLiteral("そこから日記が読まれるおそれがあります。");
    context.err << Qt::endl;
    return Success;
}

int runRemove(const QCommandLineParser&, Context& context) {
    if (!vault::isLockedFile(context.dataPath())) {
        if (context.openDiary())
            context.err << QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙにはﾊﾟｽﾜｰﾄﾞが設定されていません。") << Qt::endl;
        return Refused;
    }
    std::unique_ptr<DataFile> held = context.openDiary(QStringLiteral("今のﾊﾟｽﾜｰﾄﾞ: "));
    if (!held) return Refused;
    const Result<vault::PassphraseChanged> changed =
        vault::changePassphrase(held, context.dataPath(), keptEditsPath(context), Action::Remove, {}, {});
    if (!changed) {
        context.err << QStringLiteral("パスワードを解除できませんでした。") << oneLine(changed.message())
                    << Qt::endl;
        return Refused;
    }
    context.err << QStringLiteral("パスワードを解除しました。日記は暗号化せずに保存されます。") << Qt::endl;
    return toldOfKeptEdits(context, changed.value()) ? Success : Refused;
}

}  // namespace

std::vector<Command> passphraseCommands() {
    return {
        {{kSetPassphrase}, 0, runSet},
        {{kRemovePassphrase}, 0, runRemove},
    };
}

}  // namespace cli
