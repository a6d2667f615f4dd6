// The yardstick for the main window's start: a bare Qt Widgets window with the program's font
// set-up and a line of Japanese text, nothing else. bench/main_window_start.sh times both.
#include <QApplication>
#include <QLabel>

#include "window/desktop_setup.h"
#include "window/first_paint.h"
#include "window/layout_look.h"
#include "window/layout_table.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    main_window::RegisterFontSubstitutions();
    main_window::UseJapaneseFaceEverywhere();
    const main_window::FirstPaintReporter firstPaint(application);
    QLabel label(QStringLiteral("運賃表示器のデータを作ります。"));
    label.setFont(main_window::LayoutFont(main_window::kWindowFontPointSize, false));
    label.show();
    return QApplication::exec();
}
