#pragma once

#include <QString>

namespace paths {

// folder + file with exactly one separator between them: a folder that already ends in one (a
// drive root, "/") gets no second.
QString inFolder(const QString& folder, const QString& fileName);

// Whether anything is at path: a file, a folder, or a link (even one whose target has gone).
bool occupied(const QString& path);

// The folder of the running executable.
QString applicationFolder();

}  // namespace paths
