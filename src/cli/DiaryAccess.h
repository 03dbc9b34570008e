#pragma once

#include "cli/CommandLine.h"
#include "transfer/Backups.h"
#include "vault/Secret.h"

#include <optional>

// Reaching the diary from the command line: a plain one opened in place, a locked one with its passphrase
// read from --passphrase-fd (one line) or asked on the terminal with the echo off, never taken from an
// argument or the environment.
namespace cli {

// One passphrase; nothing (and why, on err) when none could be read.
std::optional<vault::Secret> readPassphrase(Context& context, const QString& prompt);

// The plain diary at path; nothing (and why, on err) when it is missing or does not open.
std::unique_ptr<DataFile> openPlainDiary(const QString& path, QTextStream& err);

// The diary as Context::openDiary opens it; a locked one's passphrase is kept in *passphrase for what else
// it keys (the sync folder), a plain one leaves it empty.
std::unique_ptr<DataFile> openDiaryKeeping(Context& context, std::optional<vault::Secret>* passphrase);

// What the whole-diary commands need beyond the data file's path: a locked diary opened with its passphrase,
// sealed backups opened with its key or the passphrase they were sealed with.
struct DiaryAccess {
    // Opens the diary at the path, or says why not on err and gives nothing; empty: the plain file there.
    std::function<std::unique_ptr<DataFile>(const QString& dataPath, QTextStream& err)> open;
    transfer::SealedReader sealed;  // opens a sealed backup (restore, rotation)

    std::unique_ptr<DataFile> openAt(const QString& dataPath, QTextStream& err) const {
        return open ? open(dataPath, err) : openPlainDiary(dataPath, err);
    }
};

// The access of the diary beside the executable: empty opener for a plain diary, which opens as before.
DiaryAccess diaryAccess(Context& context);

// Text for the two streams: a message that the dialogs show on several lines, on one.
QString oneLine(QString text);

}  // namespace cli
