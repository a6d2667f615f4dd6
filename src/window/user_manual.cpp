#include "window/user_manual.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "platform/desktop/file_opener.h"
#include "platform/desktop/message_box.h"

namespace main_window {

QString FindUserManual(const QString& programFolder,
                       std::initializer_list<const char*> relativePaths) {
    const QDir folder(programFolder);
    QString firstPlace;
    for (const char* relative : relativePaths) {
        const QString path = QDir::cleanPath(folder.absoluteFilePath(QString::fromUtf8(relative)));
        if (QFileInfo(path).isFile()) {
            return path;
        }
        if (firstPlace.isEmpty()) {
            firstPlace = path;
        }
    }
    return firstPlace;
}

void OpenUserManual(QWidget* parent, const QString& manualPath, platform::FileOpener& opener,
                    platform::MessageBox& messageBox, const QString& section) {
    const QString title = parent != nullptr ? parent->window()->windowTitle() : QString();
    try {
        if (!QFileInfo(manualPath).isFile()) {
            messageBox.Tell(parent, title,
                            QStringLiteral("利用者マニュアルが見つかりませんでした。\r\n"
                                           "パッケージ rukanoba3 を入れ直すと、次の場所に入ります。"
                                           "\r\n") +
                                QDir::toNativeSeparators(manualPath));
            return;
        }
        bool opened = false;
        try {
            opened = section.isEmpty() ? opener.Open(manualPath)
                                       : opener.OpenSection(manualPath, section);
        } catch (...) {
            // A desktop that fails to open it is told like one that refuses.
        }
        if (!opened) {
            messageBox.Tell(parent, title,
                            QStringLiteral("利用者マニュアルを開けませんでした。\r\n"
                                           "ブラウザで次のファイルを開いてください。\r\n") +
                                QDir::toNativeSeparators(manualPath));
        }
    } catch (...) {
        // Help never ends the program: with no message box left to speak through, F1 does
        // nothing more.
    }
}

}  // namespace main_window
