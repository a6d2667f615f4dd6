#pragma once

class QCoreApplication;

namespace main_window {

// The window's face, "ＭＳ Ｐゴシック", is not installed on this desktop: maps it to a
// metric-compatible Japanese gothic where one is installed. Call before building a window.
void RegisterFontSubstitutions();

// Numbers and dates read as in Japan, whatever the user's locale.
void UseJapaneseLocale();

// Uses the Japanese locale and loads Qt's own Japanese translation whatever the user's locale, so
// that the platform's dialogs (file dialogs, message boxes) read in Japanese like the rest of the
// window. False where the translation is not installed (the dialogs then keep Qt's English).
bool InstallJapaneseTranslation(QCoreApplication& application);

}  // namespace main_window
