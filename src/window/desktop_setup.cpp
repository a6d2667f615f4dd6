#include "window/desktop_setup.h"

#include <QCoreApplication>
#include <QFont>
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
