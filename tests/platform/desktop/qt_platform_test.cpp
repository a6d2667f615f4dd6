#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <vector>

#include "platform/desktop/qt_file_opener.h"
#include "platform/desktop/qt_message_box.h"

namespace template_tests {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Stands in for the desktop's handler of file URLs and records what Qt hands it.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    std::vector<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

class QtFileOpenerTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDesktopServices::setUrlHandler("file", &recorder_, "open");
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

    QTemporaryDir dir_;
    UrlRecorder recorder_;
};

TEST_P(QtFileOpenerTest, HandsTheDesktopTheFileUrlOfThePathUnchanged) {
    const QString path = dir_.filePath(QString::fromUtf8(GetParam()));
    const QString cwdBefore = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    platform::QtFileOpener opener;
    opener.Open(path);
    QDir::setCurrent(cwdBefore);

    ASSERT_EQ(recorder_.urls.size(), 1u);
    EXPECT_TRUE(recorder_.urls[0].isLocalFile());
    EXPECT_EQ(recorder_.urls[0].toLocalFile(), path);
    EXPECT_THAT(QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), IsEmpty())
        << "opening ran something";
}

INSTANTIATE_TEST_SUITE_P(Names, QtFileOpenerTest,
                         ::testing::Values("a b \"c\" $(touch x) ;.txt", "料金表.csv",
                                           "--help `touch x`.txt", "100%20 #1?.txt"));

TEST_F(QtFileOpenerTest, TakesARelativePathFromTheCurrentDirectory) {
    const QString cwdBefore = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    platform::QtFileOpener().Open("テンプレート.txt");
    QDir::setCurrent(cwdBefore);

    ASSERT_EQ(recorder_.urls.size(), 1u);
    EXPECT_EQ(recorder_.urls[0].toLocalFile(), dir_.filePath("テンプレート.txt"));
}

// Runs `reply` on the message box once it is shown and returns the answer.
platform::MessageBoxAnswer AskAndReply(const std::function<void(QMessageBox&)>& reply) {
    bool replied = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box shown";
            return;
        }
        replied = true;
        reply(*box);
    });
    const auto answer =
        platform::QtMessageBox().AskYesNo(nullptr, "題", "一行目\r\n    二行目\r\n");
    EXPECT_TRUE(replied);
    return answer;
}

TEST(QtMessageBoxTest, ShowsTitleAndIndentedLinesWithYesAndNoOnlyAndYesAsDefault) {
    AskAndReply([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "題");
        EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box.text(), "一行目\n    二行目\n");
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
        box.button(QMessageBox::No)->click();
    });
}

struct ReplyCase {
    const char* name;
    std::function<void(QMessageBox&)> reply;
    platform::MessageBoxAnswer answer;
};

class QtMessageBoxReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(QtMessageBoxReplyTest, ReturnsTheAnswer) {
    EXPECT_EQ(AskAndReply(GetParam().reply), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, QtMessageBoxReplyTest,
    ::testing::Values(
        ReplyCase{"ClickYes", [](QMessageBox& b) { b.button(QMessageBox::Yes)->click(); },
                  platform::MessageBoxAnswer::kYes},
        ReplyCase{"ClickNo", [](QMessageBox& b) { b.button(QMessageBox::No)->click(); },
                  platform::MessageBoxAnswer::kNo},
        ReplyCase{"EnterTakesTheDefault",
                  [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Return); },
                  platform::MessageBoxAnswer::kYes},
        ReplyCase{"EscapeIsNo", [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); },
                  platform::MessageBoxAnswer::kNo},
        ReplyCase{"ClosingIsNo", [](QMessageBox& b) { b.close(); },
                  platform::MessageBoxAnswer::kNo}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace template_tests

#include "qt_platform_test.moc"
