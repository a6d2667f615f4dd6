#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QSet>

namespace template_tests {
namespace {

// The window's icon: 32 x 32 pixels in at most sixteen colours, some of them transparent.
TEST(AppIconTest, IsA32By32SixteenColourImage) {
    const QImage icon(":/icons/rukanoba3.png");
    ASSERT_FALSE(icon.isNull()) << "the icon resource is missing";
    EXPECT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> opaque;
    bool transparent = false;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                transparent = true;
            } else {
                EXPECT_EQ(qAlpha(pixel), 255) << "partly transparent at " << x << "," << y;
                opaque.insert(pixel);
            }
        }
    }
    EXPECT_LE(opaque.size(), 16);
    EXPECT_TRUE(transparent);
    EXPECT_FALSE(QIcon(":/icons/rukanoba3.png").isNull());
}

}  // namespace
}  // namespace template_tests
