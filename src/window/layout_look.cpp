#include "window/layout_look.h"

#include <QApplication>
#include <QStyle>

#include "window/desktop_setup.h"

namespace main_window {

QColor ToColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont LayoutFont(double pointSize, bool bold) {
    QFont font = InJapaneseFace(QFont());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The look every control starts from: the style's own colours, whatever the desktop's
// colour scheme, so that the window always looks as it was drawn.
QPalette StylePalette() {
    return QApplication::style()->standardPalette();
}

}  // namespace main_window
