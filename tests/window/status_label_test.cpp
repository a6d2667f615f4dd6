// The status label's third line and tooltip: what a conversion lost or misread, or why it
// failed, shown without hovering; and a hostile table that must not hold the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "fakes.h"
#include "form1_wait.h"
#include "qt_files.h"
#include "qt_printers.h"
#include "window/form1.h"

namespace main_window {
namespace {

using conversion::ConversionOutcome;
using fare_model::Notice;
using namespace std::chrono_literals;

const QString kSucceeded = QStringLiteral("正常にコンバートされました。");
const QString kShowTest = QStringLiteral("運賃表示器を動かして表示テストを行ってください。");
const QString kCheckTheFile = QStringLiteral("ファイルを点検してください。");
const QString kOverflow = QStringLiteral("6:オーバーフローしました。");

Notice Beyond301() {
    return {Notice::Kind::kRowsBeyondLimit, 302, std::nullopt, "", 0, 199};
}
Notice TextInFare(int line, int field, std::string text, int value, int count = 1) {
    return {Notice::Kind::kTextInNumber, line, field, std::move(text), value, count};
}
Notice Rounded(int line, int field, std::string text, int value) {
    return {Notice::Kind::kRounded, line, field, std::move(text), value, 1};
}
// A number in row 12, field 5 that does not fit 16 bits: a failure with its own explanation.
fare_model::RunError OutOfRange() {
    return fare_model::RunError(6, fare_model::Reason::kOutOfRange, 12)
        .WithField(5)
        .WithText("40000");
}

class StatusLabelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Create([this](const std::string&, const std::string&,
                      const conversion::ConversionOptions&) { return next_; });
    }

    void Create(FareTableConverter converter) {
        form_ =
            std::make_unique<Form1>(dialog_, messageBox_, opener_, nullptr, std::move(converter));
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) {
        return form_->findChild<Widget*>(QString::fromLatin1(name));
    }
    QLabel* Status() { return Find<QLabel>("Label5"); }

    void Convert(const QString& input = QStringLiteral("in.csv"),
                 const QString& output = QStringLiteral("out.hy3")) {
        QTest::mouseClick(Find<QRadioButton>("Option1_0"), Qt::LeftButton);
        Find<QLineEdit>("Text1_0")->setText(input);
        Find<QLineEdit>("Text1_1")->setText(output);
        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        WaitUntilIdle(*form_);
    }

    ConversionOutcome next_;
    test_support::FakeFileDialog dialog_;
    test_support::FakeMessageBox messageBox_;
    test_support::FakeFileOpener opener_;
    std::unique_ptr<Form1> form_;
};

TEST_F(StatusLabelTest, TheThirdLineAndTheTooltipTellWhatTheTableLostOrWhyItFailed) {
    std::vector<Notice> many(25, TextInFare(2, 3, "<b>", 0));
    struct Case {
        const char* name;
        ConversionOutcome outcome;
        QStringList lines;  // the last one may end shortened, with "…" before `tail`
        QString tail;
        QString toolTip;
    };
    const Case cases[] = {
        {"success without notices",
         ConversionOutcome::Succeeded(),
         {kSucceeded, kShowTest},
         {},
         {}},
        {"success with notices, the first too long for the line",
         ConversionOutcome::Succeeded(
             {TextInFare(1, 2, "ゾーン", 0, 151), Beyond301(), Rounded(6, 9, "1.5", 2)}),
         {kSucceeded, kShowTest,
          QStringLiteral("注意: 1行目に数値でない欄が151個あります（1行目2列目の「ゾーン」を 0 "
                         "と読むなど）。")},
         QStringLiteral("（ほか2件）"),
         QStringLiteral(
             "1行目に数値でない欄が151個あります（1行目2列目の「ゾーン」を 0 と読むなど）。\n"
             "302行目から199行は変換していません（変換するのは301行までです）。\n"
             "6行目9列目の「1.5」を 2 に丸めました。")},
        {"success with one notice",
         ConversionOutcome::Succeeded({Beyond301()}),
         {kSucceeded, kShowTest,
          QStringLiteral(
              "注意: 302行目から199行は変換していません（変換するのは301行までです）。")},
         {},
         QStringLiteral("302行目から199行は変換していません（変換するのは301行までです）。")},
        {"many notices quoting markup",
         ConversionOutcome::Succeeded(many),
         {kSucceeded, kShowTest,
          QStringLiteral("注意: 2行目3列目の「<b>」は数値だけではないため、0 と読みました。")},
         QStringLiteral("（ほか24件）"),
         QStringLiteral("<p style='white-space:pre'>") +
             QStringList(20,
                         QStringLiteral(
                             "2行目3列目の「&lt;b&gt;」は数値だけではないため、0 と読みました。"))
                 .join(QStringLiteral("<br>")) +
             QStringLiteral("<br>（ほか5件）</p>")},
        {"failure with its line, field and explanation",
         ConversionOutcome::Failed(OutOfRange(), {Rounded(3, 4, "2.5", 2)}),
         {kOverflow, kCheckTheFile,
          QStringLiteral("12行目5列目: 「40000」が -32768〜32767 の範囲を超えています。")},
         QString(),
         QStringLiteral("入力ファイルの12行目でエラーが見つかりました。\n"
                        "12行目5列目: 「40000」が -32768〜32767 の範囲を超えています。\n"
                        "3行目4列目の「2.5」を 2 に丸めました。")},
        {"failure with a line only",
         ConversionOutcome::Failed(fare_model::RunError(6, 3)),
         {kOverflow, kCheckTheFile,
          QStringLiteral("入力ファイルの3行目でエラーが見つかりました。")},
         QString(),
         QStringLiteral("入力ファイルの3行目でエラーが見つかりました。")},
        {"failure with an explanation only",
         ConversionOutcome::Failed(fare_model::RunError(61).WithFile(fare_model::FileRole::kOutput,
                                                                     "/media/card/運賃.hy3")),
         {QStringLiteral("61:ディスクの空き容量が不足しています。"), kCheckTheFile,
          QStringLiteral("変換先（出力ファイル）のエラーです。")},
         QString(),
         QStringLiteral("変換先（出力ファイル）のエラーです。")},
        {"failure with nothing more",
         ConversionOutcome::Failed(fare_model::RunError(53)),
         {QStringLiteral("53:ファイルが見つかりません。"), kCheckTheFile},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        next_ = c.outcome;
        Convert();
        const QStringList shown = Status()->text().split(QStringLiteral("\r\n"));
        ASSERT_EQ(shown.size(), c.lines.size()) << Status()->text().toStdString();
        for (qsizetype i = 0; i + 1 < shown.size(); ++i) {
            EXPECT_EQ(shown[i], c.lines[i]);
        }
        // The last line is whole, or cut with an ellipsis and then the count of the others.
        const QString last = shown.back();
        const QString whole = c.lines.back() + c.tail;
        if (last != whole) {
            EXPECT_TRUE(last.endsWith(QChar(0x2026) + c.tail)) << last.toStdString();
            EXPECT_TRUE(whole.startsWith(last.chopped(c.tail.size() + 1))) << last.toStdString();
        }
        EXPECT_EQ(Status()->toolTip(), c.toolTip);
        // Every line shows within the label: the last does not wrap, none is cut off.
        EXPECT_LE(Status()->fontMetrics().horizontalAdvance(last),
                  Status()->contentsRect().width());
        EXPECT_LE(Status()->heightForWidth(Status()->width()), Status()->height());
    }

    // An empty table keeps the caption and tooltip of the conversion before.
    next_ = ConversionOutcome::Failed(fare_model::RunError(6, 3));
    Convert();
    const QString caption = Status()->text();
    next_ = ConversionOutcome::NothingToConvert();
    Convert();
    EXPECT_EQ(Status()->text(), caption);
    EXPECT_EQ(Status()->toolTip(), QStringLiteral("入力ファイルの3行目でエラーが見つかりました。"));
}

// Whether this build carries AddressSanitizer, which slows the work several times over.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// Past the bound the test process ends, so that a hang fails the run instead of holding it.
class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds bound)
        : thread_([this, bound] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, bound, [this] { return stopped_; })) {
                  std::fprintf(stderr, "the window held on for more than %lld s\n",
                               static_cast<long long>(bound.count()));
                  std::_Exit(EXIT_FAILURE);
              }
          }) {}
    ~Watchdog() {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool stopped_ = false;
    std::thread thread_;
};

// The slowest of the hostile tables for the core: a ten-megabyte place name, which a failure
// may quote in full. The window must report it as quickly as the command line does.
TEST_F(StatusLabelTest, AHostileTableEndsInACaptionWithinTheBound) {
    constexpr auto kBound = kSanitized ? 60s : 20s;
    QTemporaryDir directory;
    const QString input = directory.filePath(QStringLiteral("hostile.csv"));
    std::string table;
    table.reserve(10'000'010);
    while (table.size() < 10'000'000) {
        table += "あ";
    }
    test_support::WriteBytes(input, table + ",1,140");
    Create(ConvertOnThisComputer);

    QElapsedTimer elapsed;
    elapsed.start();
    {
        const Watchdog watchdog(kBound);
        Convert(input, directory.filePath(QStringLiteral("out.hy3")));
    }
    EXPECT_LT(elapsed.elapsed(), std::chrono::milliseconds(kBound).count());
    const QString caption = Status()->text();
    EXPECT_TRUE(caption.startsWith(kSucceeded) || caption.contains(kCheckTheFile))
        << caption.toStdString();
}

// With RUKANOBA_SCREENSHOT_DIR set, draws the window after each kind of notice and after a
// failure with its explanation, for the documentation.
TEST_F(StatusLabelTest, Pictures) {
    const QString folder = qEnvironmentVariable("RUKANOBA_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "RUKANOBA_SCREENSHOT_DIR is not set";
    }
    const std::pair<const char*, ConversionOutcome> pictures[] = {
        {"rows-beyond-301", ConversionOutcome::Succeeded({Beyond301()})},
        {"blank-line", ConversionOutcome::Succeeded(
                           {{Notice::Kind::kRowsAfterBlankLine, 41, std::nullopt, "", 0, 60}})},
        {"quoted-comma",
         ConversionOutcome::Succeeded({{Notice::Kind::kQuotedSeparator, 7, 5, "\"1,200\"", 0, 1}})},
        {"text-in-fare",
         ConversionOutcome::Succeeded({TextInFare(1, 2, "ゾーン", 0, 151),
                                       TextInFare(5, 7, "abc", 0), TextInFare(8, 4, "1O0", 1)})},
        {"rounded-fare", ConversionOutcome::Succeeded({Rounded(6, 9, "1.5", 2)})},
        {"failure", ConversionOutcome::Failed(OutOfRange())},
    };
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& [name, outcome] : pictures) {
        next_ = outcome;
        Convert();
        const QString path = QDir(folder).filePath(QString::fromLatin1(name) + ".png");
        EXPECT_TRUE(form_->grab().save(path, "PNG", 0)) << path.toStdString();
    }
}

}  // namespace
}  // namespace main_window
