#include "platform/core/DiaryFolder.h"

#include "platform/core/Paths.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

// The package's build defines both: SELVANE_INSTALLED, and where the shared files lie from the program's
// folder (for example "../share/selvane").
#ifndef SELVANE_SHARED_FROM_PROGRAM
#define SELVANE_SHARED_FROM_PROGRAM "."
#endif

namespace diaryfolder {

Build thisBuild() {
#ifdef SELVANE_INSTALLED
    return Build::Installed;
#else
    return Build::Portable;
#endif
}

Surroundings Surroundings::ofThisRun() {
    return {paths::applicationFolder(), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath(),
            qEnvironmentVariable("SELVANE_HOME")};
}

QString folderFor(Build build, const Surroundings& around) {
    if (build == Build::Portable) return around.programFolder;
    // A relative XDG_DATA_HOME is invalid and is ignored, as the XDG base directory rules ask.
    const QString dataHome = QDir::isAbsolutePath(around.dataHome)
                                 ? around.dataHome
                                 : paths::inFolder(around.home, QStringLiteral(".local/share"));
    return paths::inFolder(dataHome, QStringLiteral("selvane"));
}

QString sharedFilesFolder(Build build, const QString& programFolder) {
    if (build == Build::Portable) return programFolder;
    return QDir::cleanPath(paths::inFolder(programFolder, QStringLiteral(SELVANE_SHARED_FROM_PROGRAM)));
}

QStringList earlierFolders(const Surroundings& around) {
    QStringList folders;
    if (!around.selvaneHome.isEmpty()) folders << around.selvaneHome;
    folders << paths::inFolder(around.home, QStringLiteral("Selvane"));
    return folders;
}

std::optional<QString> moveInSource(Build build, const Surroundings& around, bool offeredBefore) {
    if (build != Build::Installed || offeredBefore) return std::nullopt;
    const QString own = folderFor(build, around);
    if (paths::occupied(paths::inFolder(own, kDiaryName))) return std::nullopt;
    for (const QString& folder : earlierFolders(around)) {
        if (QFileInfo(paths::inFolder(folder, kDiaryName)).isFile()) return folder;
    }
    return std::nullopt;
}

Result<void> make(const QString& folder) {
    const QString absolute = QDir::cleanPath(QDir(folder).absolutePath());
    if (QFileInfo(absolute).isDir()) return {};
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    if (slash > 0) {
        Result<void> parent = make(absolute.left(slash));
        if (!parent) return parent;
    }
    if (::mkdir(QFile::encodeName(absolute).constData(), 0700) == 0) return {};
    return Failure{QStringLiteral("ﾌｫﾙﾀﾞを作れません：%1（%2）").arg(absolute, qt_error_string(errno)),
                   int(PgError::PathAccess)};
}

}  // namespace diaryfolder
