// Draws the window into memory and checks the colours at known points.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <string_view>

#include "fakes.h"
#include "form1_wait.h"
#include "qt_printers.h"
#include "template/text/template_text.h"
#include "window/form1.h"

namespace main_window {
namespace {

struct Probe {
    const char* what;
    QPoint point;
    QColor colour;
};

class Form1RenderingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    }

    QImage Grab() {
        QImage image = form_.grab().toImage();
        // Points are in device-independent pixels.
        image.setDevicePixelRatio(1.0);
        return image.scaled(form_.size());
    }

    void ExpectColours(const QImage& image, std::initializer_list<Probe> probes) {
        ASSERT_EQ(image.size(), QSize(504, 375));
        for (const Probe& probe : probes) {
            EXPECT_EQ(image.pixelColor(probe.point), probe.colour)
                << probe.what << " at " << probe.point.x() << "," << probe.point.y();
        }
    }

    template <typename Widget>
    Widget* Find(const char* name) {
        return form_.findChild<Widget*>(QString::fromLatin1(name));
    }

    const QColor black_{0, 0, 0};
    const QColor cyan_{0, 255, 255};
    const QColor pink_{255, 192, 255};
    const QColor lightYellow_{255, 255, 192};
    const QColor yellow_{255, 255, 0};
    const QColor buttonFace_ = QApplication::style()->standardPalette().color(QPalette::Button);

    test_support::FakeFileDialog dialog_;
    test_support::FakeMessageBox messageBox_;
    test_support::FakeFileOpener opener_;
    Form1 form_{dialog_, messageBox_, opener_};
};

TEST_F(Form1RenderingTest, TheQuestionPanelOnTheBlackWindowWithTheStepsCovered) {
    ExpectColours(Grab(), {
                              {"black window, right margin", {500, 200}, black_},
                              {"black window, left margin", {2, 100}, black_},
                              {"cyan question panel", {60, 148}, cyan_},
                              {"cyan option frame", {100, 135}, cyan_},
                              {"pink explanation", {130, 143}, pink_},
                              {"grey blank panel over the steps", {250, 236}, buttonFace_},
                              {"empty status label", {250, 360}, buttonFace_},
                          });
}

TEST_F(Form1RenderingTest, YesUncoversTheLightYellowStepsAndAFailureBlinksYellow) {
    QTest::mouseClick(Find<QRadioButton>("Option1_0"), Qt::LeftButton);
    ExpectColours(Grab(), {
                              {"step 1 band", {300, 200}, lightYellow_},
                              {"step 2 band", {450, 250}, lightYellow_},
                              {"step 3 band", {100, 300}, lightYellow_},
                              {"black frame between the bands", {491, 230}, black_},
                          });

    QTemporaryDir directory;
    Find<QLineEdit>("Text1_0")->setText(directory.filePath(QStringLiteral("ない.csv")));
    Find<QLineEdit>("Text1_1")->setText(directory.filePath(QStringLiteral("運賃.hy3")));
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
    WaitUntilIdle(form_);
    QTimer* timer = Find<QTimer>("Timer1");
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
    ExpectColours(Grab(), {{"blinking status label", {250, 362}, yellow_}});

    // With RUKANOBA_WINDOW_PNG set, keeps a picture of a successful conversion for the
    // documentation.
    const QString picture = qEnvironmentVariable("RUKANOBA_WINDOW_PNG");
    if (!picture.isEmpty()) {
        const QString input = directory.filePath(QStringLiteral("123系統.csv"));
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const std::string_view bytes = template_text::TemplateText();
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        file.close();
        Find<QLineEdit>("Text1_0")->setText(input);
        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        WaitUntilIdle(form_);
        // The picture shows the paths of an office, not of the test's scratch folder.
        Find<QLineEdit>("Text1_0")->setText(QStringLiteral("/home/yamada/運賃表/123系統.csv"));
        Find<QLineEdit>("Text1_1")->setText(QStringLiteral("/home/yamada/運賃表/123系統.hy3"));
        ASSERT_TRUE(Grab().save(picture));
    }
}

}  // namespace
}  // namespace main_window
