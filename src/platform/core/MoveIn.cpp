#include "platform/core/MoveIn.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/DiaryFolder.h"
#include "platform/core/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace movein {

namespace {

Failure failure(const QString& text) { return Failure{text, int(PgError::PathAccess)}; }

Result<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("ﾌｧｲﾙを読めません：%1（%2）").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError)
        return failure(QStringLiteral("ﾌｧｲﾙを読めません：%1（%2）").arg(path, file.errorString()));
    return bytes;
}

// What a copy that fails part-way made in the new folder, taken away again so that the folder is as it was.
class Undo {
  public:
    ~Undo() {
        if (done_) return;
        for (const QString& file : files_) QFile::remove(file);
        for (const QString& folder : folders_) QDir().rmdir(folder);
    }
    Undo() = default;
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;

    Result<void> makeFolder(const QString& folder) {
        if (QFileInfo(folder).isDir()) return {};
        Result<void> made = diaryfolder::make(folder);
        if (made) folders_.prepend(folder);  // an inner folder goes before the one it is in
        return made;
    }
    // Writes bytes to target in one step, owner-only, and reads them back.
    Result<void> place(const QString& target, const QByteArray& bytes) {
        const QString error = AtomicFile::replace(target, bytes);
        if (!error.isEmpty())
            return failure(QStringLiteral("ﾌｧｲﾙを書き込めません：%1（%2）").arg(target, error));
        files_ << target;
        Result<QByteArray> back = readWhole(target);
        if (!back) return back.failure();
        if (back.value() != bytes)
            return failure(QStringLiteral("ｺﾋﾟｰが元のﾌｧｲﾙと一致しません：%1").arg(target));
        return {};
    }
    Result<void> copy(const QString& source, const QString& target) {
        Result<QByteArray> bytes = readWhole(source);
        if (!bytes) return bytes.failure();
        return place(target, bytes.value());
    }
    void keep() { done_ = true; }

  private:
    QStringList files_;
    QStringList folders_;
    bool done_ = false;
};

Result<void> copyBackups(Undo& undo, const QString& from, const QString& to) {
    const QDir old(from);
    if (!old.exists()) return {};
    Result<void> made = undo.makeFolder(to);
    if (!made) return made;
    // Her backups only: partial ones that a killed backup left are hidden, links lead elsewhere.
    for (const QString& name : old.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name)) {
        const QString target = paths::inFolder(to, name);
        if (paths::occupied(target)) continue;
        Result<void> copied = undo.copy(old.filePath(name), target);
        if (!copied) return copied;
    }
    return {};
}

}  // namespace

Result<void> copyDiary(const QString& from, const QString& to, const DiaryCheck& check) {
    const QString source = paths::inFolder(from, diaryfolder::kDiaryName);
    const QString diary = paths::inFolder(to, diaryfolder::kDiaryName);
    if (paths::occupied(diary)) return failure(QStringLiteral("移す先にﾃﾞｰﾀﾌｧｲﾙがあります：%1").arg(diary));
    // A journal beside it means a write that has not ended: the file alone is no whole diary then.
    for (const char* journal : {"-journal", "-wal"}) {
        if (QFileInfo(source + QLatin1String(journal)).size() > 0)
            return failure(QStringLiteral("元のﾃﾞｰﾀﾌｧｲﾙは書き込みの途中です：%1\r"
                                          "元の Selvane を起動して終了してから、もう一度試して下さい。")
                               .arg(source));
    }
    Result<QByteArray> bytes = readWhole(source);
    if (!bytes) return bytes.failure();

    Undo undo;
    Result<void> step = undo.makeFolder(to);
    if (step)
        step = copyBackups(undo, paths::inFolder(from, kBackupsName), paths::inFolder(to, kBackupsName));
    const QString recovery = paths::inFolder(from, kRecoveryName);
    const QString recoveryCopy = paths::inFolder(to, kRecoveryName);
    if (step && QFileInfo(recovery).isFile() && !paths::occupied(recoveryCopy))
        step = undo.copy(recovery, recoveryCopy);
    // The diary last, so that a copy ended half-way leaves no diary that looks whole.
    if (step) step = undo.place(diary, bytes.value());
    if (step) step = check(diary);
    if (!step) return step;
    Result<QByteArray> after = readWhole(source);
    if (!after) return after.failure();
    if (after.value() != bytes.value())
        return failure(QStringLiteral("ｺﾋﾟｰの間に元のﾃﾞｰﾀﾌｧｲﾙが書き換えられました。もう一度試して下さい。"));
    undo.keep();
    return {};
}

}  // namespace movein
