#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "window/layout_table.h"

// What the main window and its layout builder share of the layout table's look.
namespace main_window {

QColor ToColor(Rgb rgb);
QFont LayoutFont(double pointSize, bool bold);
// The look every control starts from: the style's own colours, whatever the desktop's
// colour scheme, so that the window always looks as it was drawn.
QPalette StylePalette();

}  // namespace main_window
