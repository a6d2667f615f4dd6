// The window program: builds the main window and hands it the desktop's dialogs.
#include <QApplication>
#include <QIcon>

#include "platform/desktop/qt_file_dialog.h"
#include "platform/desktop/qt_file_opener.h"
#include "platform/desktop/qt_message_box.h"
#include "window/desktop_setup.h"
#include "window/form1.h"

int main(int argc, char* argv[]) {
    // The program takes no command line; Qt keeps only its own options.
    QApplication application(argc, argv);
    main_window::RegisterFontSubstitutions();
    main_window::InstallJapaneseTranslation(application);
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/rukanoba3.png")));
    // Ties the window to its menu entry and icon on Wayland too.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rukanoba3.Rukanoba3"));

    platform::QtFileDialog dialog;
    platform::QtMessageBox messageBox;
    platform::QtFileOpener fileOpener;
    main_window::Form1 form(dialog, messageBox, fileOpener);
    form.show();
    return application.exec();
}
