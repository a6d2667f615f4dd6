#include "platform/desktop/qt_file_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

QUrl FileUrl(const QString& path) {
    // A relative path is taken from the current directory, as the desktop would take it.
    // The file URL carries the path as data: no shell ever parses it.
    const QFileInfo info(path);
    return QUrl::fromLocalFile(info.isRelative() ? info.absoluteFilePath() : path);
}

}  // namespace

bool QtFileOpener::OpenSection(const QString& path, const QString& section) {
    if (path.isEmpty())
        return false;
    QUrl url = FileUrl(path);
    url.setFragment(section);
    return QDesktopServices::openUrl(url);
}

bool QtFileOpener::Open(const QString& path) {
    if (path.isEmpty())
        return false;
    // A relative path is taken from the current directory, as the desktop would take it.
    // The file URL carries the path as data: no shell ever parses it.
    const QFileInfo info(path);
    const QString absolute = info.isRelative() ? info.absoluteFilePath() : path;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}

}  // namespace platform
