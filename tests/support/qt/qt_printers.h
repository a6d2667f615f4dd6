#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <ostream>

// Readable failure messages for the Qt types the window tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name().toStdString();
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", "
         << rect.height() << ')';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << "QSize(" << size.width() << ", " << size.height() << ')';
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "QPoint(" << point.x() << ", " << point.y() << ')';
}
