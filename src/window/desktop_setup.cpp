#include "window/desktop_setup.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include "window/layout_table.h"

namespace main_window {

void RegisterFontSubstitutions() {
    // Where the font is missing under its Japanese name: on Windows, its English name, then
    // the gothics every Japanese Windows has. IPA P Gothic keeps the proportional widths the
    // layout was drawn with; the others are the Japanese gothics most often found on a desktop.
    static const QStringList substitutes = {
#ifdef Q_OS_WIN
        QStringLiteral("MS PGothic"),         QStringLiteral("Meiryo"),
        QStringLiteral("Yu Gothic"),
#endif
        QStringLiteral("IPAPGothic"),         QStringLiteral("Noto Sans CJK JP"),
        QStringLiteral("Noto Sans JP"),       QStringLiteral("VL PGothic"),
        QStringLiteral("TakaoPGothic"),       QStringLiteral("IPAGothic"),
        QStringLiteral("Source Han Sans JP"),
    };
    QFont::insertSubstitutions(QString::fromUtf8(kFontFamily.data(), kFontFamily.size()),
                               substitutes);
}

QFont InJapaneseFace(QFont font) {
    font.setFamilies({QString::fromUtf8(kFontFamily.data(), kFontFamily.size())});
#ifndef Q_OS_WIN
    // Unhinted: the light hinting desktops choose by default runs FreeType's auto-hinter on
    // every Japanese glyph, which made up the largest part of the first frame's time. Both
    // place the glyphs by the face's own (design) widths, so every caption wraps the same.
    // Windows draws with its own rasteriser, whose hinting the window keeps.
    font.setHintingPreference(QFont::PreferNoHinting);
#endif
    return font;
}

void UseJapaneseFaceEverywhere() {
#ifndef Q_OS_WIN
    // Also spares the start a Latin face: a text box lays out its empty text in the
    // application's font before it takes the window's.
    QGuiApplication::setFont(InJapaneseFace(QGuiApplication::font()));
#endif
}

void UseJapaneseLocale() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

bool InstallJapaneseTranslation(QCoreApplication& application) {
    UseJapaneseLocale();
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    auto* translator = new QTranslator(&application);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace main_window
