#include "report/ChartFont.h"

#include "platform/core/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTextBoundaryFinder>

namespace report {
namespace {

const QStringList kFiles = {QStringLiteral("SelvaneChartJP-Regular.otf"),
                            QStringLiteral("SelvaneChartJP-Bold.otf")};

bool registered(const QString& folder) {
    for (const QString& file : kFiles)
        if (!QFileInfo(paths::inFolder(folder, file)).isFile()) return false;
    for (const QString& file : kFiles)
        if (QFontDatabase::addApplicationFont(paths::inFolder(folder, file)) < 0) return false;
    return true;
}

}  // namespace

QStringList chartFontFolders(const QString& programFolder) {
    return {programFolder,
            QDir::cleanPath(paths::inFolder(programFolder, QStringLiteral("../share/selvane")))};
}

QString chartFontFamily(const QStringList& folders) {
    static const QString family = [&folders] {
        for (const QString& folder :
             folders.isEmpty() ? chartFontFolders(paths::applicationFolder()) : folders)
            if (registered(folder)) return kChartFamily;
        return kFallbackFamily;
    }();
    return family;
}

QString printable(const QString& text, const std::function<bool(char32_t)>& drawable) {
    QString shown;
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (clusters.toNextBoundary() >= 0) {
        const qsizetype end = clusters.position();
        const QString cluster = text.mid(start, end - start);
        const char32_t first = cluster.toUcs4().value(0);
        shown += first < 0x20 || drawable(first) ? cluster : kStandIn;
        start = end;
    }
    return shown;
}

}  // namespace report
