#include "window/desktop_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include "qt_printers.h"

namespace main_window {
namespace {

TEST(DesktopSetupTest, TheWindowFaceResolvesToAnInstalledJapaneseGothic) {
    if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic"))) {
        GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    }
    const QFontInfo resolved(QFont(QStringLiteral("ＭＳ Ｐゴシック")));
    EXPECT_EQ(resolved.family(), QStringLiteral("IPAPGothic"));
}

TEST(DesktopSetupTest, QtsOwnDialogsSpeakJapanese) {
    ASSERT_TRUE(InstallJapaneseTranslation(*QCoreApplication::instance()))
        << "qt6-translations-l10n is not installed";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Save"), QStringLiteral("保存(&S)"));
}

}  // namespace
}  // namespace main_window
