// The window program: reads its command line, then opens the main window or a table window
// for each file, with the desktop's dialogs.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <new>

#include "platform/desktop/font_configuration.h"
#include "platform/desktop/qt_file_dialog.h"
#include "platform/desktop/qt_file_opener.h"
#include "platform/desktop/qt_message_box.h"
#include "platform/desktop/qt_print_dialog.h"
#include "platform/os/process.h"
#include "programs/rukanoba3/pdf_command.h"
#include "window/desktop_setup.h"
#include "window/display_connection.h"
#include "window/first_paint.h"
#include "window/off_the_event_loop.h"
#include "window/program_start.h"
#include "window/user_manual.h"

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stream);
}

// Help, version and usage errors need no display; the exit status, or -1 to go on.
int Answered(const main_window::StartRequest& request) {
    using Action = main_window::StartRequest::Action;
    switch (request.action) {
        case Action::kHelp:
            Print(stdout, main_window::StartHelpText());
            return 0;
        case Action::kVersion:
            Print(stdout, QStringLiteral("rukanoba3 " RUKANOBA3_VERSION "\n"));
            return 0;
        case Action::kUsageError:
        case Action::kUnknownOption:
            Print(stderr, QStringLiteral("rukanoba3: ") + request.message + QLatin1Char('\n') +
                              main_window::StartUsageText());
            return 2;
        case Action::kOpen:
            break;
    }
    return -1;
}

// --pdf draws on no screen: the offscreen platform, whatever display there is or is not.
int WritePdf(int argc, char* argv[]) {
    try {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Standard error carries hy3conv's messages only; Qt's own notes (a missing runtime
        // folder and the like) say nothing about the PDF.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                Print(stderr, QStringLiteral("rukanoba3: ") + text + QLatin1Char('\n'));
            }
        });
        const QGuiApplication application(argc, argv);
        main_window::RegisterFontSubstitutions();
        return rukanoba3::RunPdfCommand(QCoreApplication::arguments().mid(1));
    } catch (const std::bad_alloc&) {
        std::fputs("rukanoba3: 7:メモリが不足しています。\n", stderr);
    } catch (...) {
        std::fputs("rukanoba3: 51:内部エラーです。\n", stderr);
    }
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::ReportFileSizeLimitAsWriteErrors();
    // Help and version are answered before Qt looks for a display. Qt's own options
    // (-platform and the like) are only known once the application has taken them out.
    QStringList arguments;
    for (const std::string& argument : platform::CommandLineArguments(argc, argv)) {
        arguments.append(QString::fromStdString(argument));
    }
    if (rukanoba3::AsksForPdf(arguments)) {
        return WritePdf(argc, argv);
    }
    const main_window::StartRequest early = main_window::ParseStartArguments(arguments);
    if (early.action != main_window::StartRequest::Action::kUnknownOption) {
        if (const int status = Answered(early); status >= 0) {
            return status;
        }
    }

    // The font configuration is read while Qt connects to the display.
    platform::FontConfigurationReadAhead fontConfiguration;
    std::optional<QApplication> application;
    {
        const main_window::DisplayConnectionGuard guard;
        application.emplace(argc, argv);
    }
    // Before anything else: Qt's font database ends the configuration when the application
    // goes, which must not happen while it is still being read.
    fontConfiguration.Wait();
    // Decoded as the system wants (the wide command line on Windows), without Qt's own options.
    arguments = QCoreApplication::arguments().mid(1);
    const main_window::StartRequest request = main_window::ParseStartArguments(arguments);
    if (const int status = Answered(request); status >= 0) {
        return status;
    }
    if (!request.message.isEmpty()) {
        Print(stderr, QStringLiteral("rukanoba3: ") + request.message + QLatin1Char('\n'));
    }

    main_window::RegisterFontSubstitutions();
    main_window::UseJapaneseFaceEverywhere();
    main_window::UseJapaneseLocale();
    // Ties the window to its menu entry and icon on Wayland too.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.rukanoba3.Rukanoba3"));

    platform::QtFileDialog dialog;
    platform::QtMessageBox messageBox;
    platform::QtFileOpener fileOpener;
    platform::QtPrintDialog printDialog;
    const QString userManual = main_window::FindUserManual(
        QCoreApplication::applicationDirPath(), {RUKANOBA_INSTALLED_MANUAL, RUKANOBA_BUILT_MANUAL});
    main_window::ProgramWindows windows(dialog, messageBox, fileOpener, printDialog, userManual);
    // The first frame needs neither the icon (it reaches the window manager a moment later)
    // nor Qt's translation (its dialogs and menus open only on the user's demand). Loading the
    // icon scans Qt's image plugins; the translation is read from disk.
    main_window::AfterFirstFrame(*application, [&application] {
        main_window::InstallJapaneseTranslation(*application);
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rukanoba3.png")));
    });
    // Watches the first paint after the line above (the filter installed last sees events
    // first): the benchmark's report of the first frame comes before the work that waits for it.
    const main_window::FirstPaintReporter firstPaint(*application);
    windows.Open(request);
    const int status = QApplication::exec();
    main_window::FinishWorkOffTheEventLoop();
    return status;
}
