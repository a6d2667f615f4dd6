#include "window/desktop_setup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

#include "qt_printers.h"
#include "window/first_paint.h"

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

class PaintedWindow : public QWidget {
  public:
    bool painted = false;

  protected:
    void paintEvent(QPaintEvent*) override { painted = true; }
};

// What the first frame does not need waits for a window's first paint, and runs once.
TEST(DesktopSetupTest, WorkAfterTheFirstFrameWaitsForItAndRunsOnce) {
    auto& application = *qobject_cast<QApplication*>(QCoreApplication::instance());
    PaintedWindow first;
    int runs = 0;
    bool paintedFirst = false;
    AfterFirstFrame(application, [&] {
        ++runs;
        paintedFirst = first.painted;
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0) << "no window has painted yet";

    first.show();
    PaintedWindow second;
    second.show();
    QElapsedTimer waited;
    waited.start();
    while ((runs == 0 || !second.painted) && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(paintedFirst);
    EXPECT_TRUE(second.painted);
}

}  // namespace
}  // namespace main_window
