#pragma once

#include <QString>

// Paths given on the command line and named in its messages, also from a folder whose name is not UTF-8 (a
// Shift_JIS folder from an old archive), which no QString leads back to.
namespace cli {

// A file or folder named on the command line: a relative one is reached from the current folder, through
// the process's own view of it when its name is not UTF-8.
QString argumentPath(const QString& path);

// The path as a message names it: a folder reached through the process's view of it by its own name (any
// byte that is not UTF-8 as U+FFFD), with native separators.
QString shownPath(const QString& path);

}  // namespace cli
