#pragma once

#include <QFont>

class QCoreApplication;

namespace main_window {

// The window's face, "ＭＳ Ｐゴシック", is not installed on this desktop: maps it to a
// metric-compatible Japanese gothic where one is installed. Call before building a window.
void RegisterFontSubstitutions();

// `font` in the window's Japanese face, drawn as the window draws it.
QFont InJapaneseFace(QFont font);

// Off Windows, every window and dialog of the program in the window's Japanese face, at the
// desktop's size, rather than in a Latin face that borrows its Japanese glyph by glyph.
// Windows' own interface font already is a Japanese one on a Japanese Windows.
void UseJapaneseFaceEverywhere();

// Numbers and dates read as in Japan, whatever the user's locale.
void UseJapaneseLocale();

// Uses the Japanese locale and loads Qt's own Japanese translation whatever the user's locale, so
// that the platform's dialogs (file dialogs, message boxes) read in Japanese like the rest of the
// window. False where the translation is not installed (the dialogs then keep Qt's English).
bool InstallJapaneseTranslation(QCoreApplication& application);

}  // namespace main_window
