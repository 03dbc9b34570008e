#pragma once

#include "cli/CommandLine.h"
#include "transfer/CommandLine.h"
#include "vault/Secret.h"

#include <optional>

// A locked diary from the command line: its passphrase read from --passphrase-fd (one line) or asked on the
// terminal with the echo off, never taken from an argument or the environment.
namespace cli {

// One passphrase; nothing (and why, on err) when none could be read.
std::optional<vault::Secret> readPassphrase(Context& context, const QString& prompt);

// What the whole-diary commands need: a locked diary opened with its passphrase, sealed backups opened with
// its key or the passphrase they were sealed with. Empty opener for a plain diary, which opens as before.
transfercommands::Access diaryAccess(Context& context);

// Text for the two streams: a message that the dialogs show on several lines, on one.
QString oneLine(QString text);

}  // namespace cli
