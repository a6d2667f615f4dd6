#pragma once

#include <QString>
#include <initializer_list>

class QWidget;

namespace platform {
class FileOpener;
class MessageBox;
}  // namespace platform

namespace main_window {

// The user's manual among the places it may lie, each relative to the program's folder: the
// first that exists, or else the first place (where the package puts it), to name to the user.
QString FindUserManual(const QString& programFolder,
                       std::initializer_list<const char*> relativePaths);

// F1: opens the manual in the desktop's browser. Where there is none, or the desktop cannot
// open it, the user is told so and where the manual is.
// With a `section`, the manual opens at that part of the page.
void OpenUserManual(QWidget* parent, const QString& manualPath, platform::FileOpener& opener,
                    platform::MessageBox& messageBox, const QString& section = QString());

}  // namespace main_window
