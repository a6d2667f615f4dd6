// The main window with the files it is given: the busy cursor, the template, drops, the
// manual and workbooks.
#include <atomic>
#include <chrono>
#include <thread>

#include "form1_fixture.h"

namespace main_window {
namespace {

using namespace form1_test;  // the fixture and its constants

TEST_F(Form1Test, TheBlinkStopsAndTheCursorIsBusyBeforeTheConversionRuns) {
    struct Seen {
        bool timerActive = true;
        QColor background;
        bool busyCursor = false;
    };
    Seen seen;
    std::deque<ConversionOutcome> outcomes = {
        ConversionOutcome::Failed(fare_model::RunError(6, 3)),
        ConversionOutcome::Failed(fare_model::RunError(53)),
    };
    CreateForm([&](const std::string&, const std::string&, const conversion::ConversionOptions&) {
        seen.timerActive = Timer()->isActive();
        seen.background = StatusBackground();
        const QCursor* cursor = QGuiApplication::overrideCursor();
        seen.busyCursor = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        ConversionOutcome outcome = outcomes.front();
        outcomes.pop_front();
        return outcome;
    });
    ConvertThroughWindow(QStringLiteral("in.csv"), QStringLiteral("out.hy3"));
    EXPECT_TRUE(seen.busyCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Status()->text().startsWith(QStringLiteral("6:")));
    EXPECT_EQ(Status()->toolTip(), QStringLiteral("入力ファイルの3行目でエラーが見つかりました。"));
    Tick();
    ASSERT_EQ(StatusBackground(), kYellowColour);

    ClickConvert();
    EXPECT_FALSE(seen.timerActive);
    EXPECT_EQ(seen.background, kGrey);
    // A failure of no particular line names none.
    EXPECT_TRUE(Status()->text().startsWith(QStringLiteral("53:")));
    EXPECT_TRUE(Status()->toolTip().isEmpty());
    EXPECT_TRUE(Timer()->isActive());
}

// The conversion runs off the event loop: the window repaints and its timers fire, the
// cursor is busy, past half a second the label says what is going on, and a second click
// starts nothing.
TEST_F(Form1Test, TheWindowServesItsEventsWhileAConversionRuns) {
    std::atomic<bool> release = false;
    std::atomic<int> runs = 0;
    CreateForm([&](const std::string&, const std::string&, const conversion::ConversionOptions&) {
        ++runs;
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return ConversionOutcome::Succeeded();
    });
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(10);
    ClickYes();
    Text1(0)->setText(QStringLiteral("in.csv"));
    Text1(1)->setText(QStringLiteral("out.hy3"));
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(form_->busy());
    const QCursor* cursor = QGuiApplication::overrideCursor();
    EXPECT_TRUE(cursor != nullptr && cursor->shape() == Qt::WaitCursor);
    QTest::qWait(700);
    EXPECT_GE(ticks, 10);
    EXPECT_EQ(Status()->text(), QStringLiteral("変換しています…"));
    QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);

    release = true;
    WaitUntilIdle(*form_);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(Status()->text(), kSucceededText);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The conversion catches its own failures, an exhausted memory included, and reports them
// as an internal failure; the window shows it like any other.
TEST_F(Form1Test, AnInternalFailureStillEndsInAMessageAndRestoresTheCursor) {
    CreateForm([](const std::string&, const std::string&, const conversion::ConversionOptions&) {
        return ConversionOutcome::Failed(fare_model::RunError(fare_model::error_code::kInternal));
    });
    ConvertThroughWindow(QStringLiteral("in.csv"), QStringLiteral("out.hy3"));
    EXPECT_TRUE(Status()->text().startsWith(QStringLiteral("51:")));
    EXPECT_TRUE(Timer()->isActive());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Form1Test, TheTemplateButtonHandsOutTheTemplate) {
    ClickNo();
    const QString saved = directory_.filePath(QStringLiteral("テンプレート.txt"));
    dialog_.answers = {saved};
    messageBox_.answer = platform::MessageBoxAnswer::kNo;
    QTest::mouseClick(Find<QPushButton>("Command3"), Qt::LeftButton);

    ASSERT_EQ(dialog_.requests.size(), 1u);
    EXPECT_EQ(dialog_.requests[0].mode, platform::FileDialogMode::kSave);
    EXPECT_EQ(dialog_.requests[0].filter,
              QStringLiteral("テキストファイル(*.txt)|*.txt|CSVファイル(*.CSV)|*.CSV|"
                             "Excel ブック(*.xlsx)|*.xlsx"));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), template_text::TemplateText());
    EXPECT_EQ(messageBox_.questions.size(), 1u);
    EXPECT_TRUE(opener_.opened.empty());  // the box was answered No
    EXPECT_TRUE(Status()->text().isEmpty());
}

TEST_F(Form1Test, AFileDroppedOnAPathFieldSetsItToTheFilesPathAsACopy) {
    ClickYes();
    Text1(0)->setText(QStringLiteral("old text"));
    const QString path = TemplateFile();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = Text1(0)->rect().center();

    QDragEnterEvent enter(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(Text1(0), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Text1(0), &drop);
    EXPECT_TRUE(drop.isAccepted());
    // Never a move: the file manager would delete the file afterwards.
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(Text1(0)->text(), QDir::toNativeSeparators(path));

    // A drag that can only move the file is refused.
    QDropEvent moveOnly(centre, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    Text1(1)->setText(QStringLiteral("kept"));
    QCoreApplication::sendEvent(Text1(1), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
    EXPECT_EQ(Text1(1)->text(), QStringLiteral("kept"));
}

TEST_F(Form1Test, F1OpensTheUserManualOrSaysWhyNotAndWhereItIs) {
    using test_support::Failure;
    const QString installed = QStringLiteral("share/doc/rukanoba3/manual.html");
    const QString built = QStringLiteral("build/share/doc/rukanoba3/manual.html");
    struct Case {
        const char* name;
        std::vector<QString> present;  // the manuals there are, under the case's folder
        bool opens;                    // what the desktop answers
        Failure failure;
        QString expected;  // the manual handed to the desktop and named to the user
        QString told;      // the first line the user is told, if any
    };
    const QString notFound = QStringLiteral("利用者マニュアルが見つかりませんでした。");
    const QString notOpened = QStringLiteral("利用者マニュアルを開けませんでした。");
    const Case cases[] = {
        {"Installed", {installed, built}, true, Failure::kNone, installed, {}},
        {"BuildTree", {built}, true, Failure::kNone, built, {}},
        {"None", {}, true, Failure::kNone, installed, notFound},
        {"DesktopRefuses", {installed}, false, Failure::kNone, installed, notOpened},
        {"DesktopFails", {installed}, true, Failure::kStdException, installed, notOpened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QDir root(directory_.filePath(QString::fromLatin1(c.name)));
        ASSERT_TRUE(root.mkpath(QStringLiteral("build/src/programs")));
        for (const QString& manual : c.present) {
            ASSERT_TRUE(root.mkpath(QFileInfo(root.filePath(manual)).path()));
            test_support::WriteBytes(root.filePath(manual), "<html></html>");
        }
        // The program in build/src/programs, its package installed from bin/.
        const QString manual = FindUserManual(
            root.filePath(QStringLiteral("build/src/programs")),
            {"../../../share/doc/rukanoba3/manual.html", "../../share/doc/rukanoba3/manual.html"});
        opener_ = FakeFileOpener();
        opener_.result = c.opens;
        opener_.failure = c.failure;
        messageBox_.told.clear();
        CreateForm(ConvertOnThisComputer, manual);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);

        const QString expected = root.filePath(c.expected);
        EXPECT_EQ(opener_.opened,
                  c.present.empty() ? std::vector<QString>{} : std::vector<QString>{expected});
        if (c.told.isEmpty()) {
            EXPECT_TRUE(messageBox_.told.empty());
        } else {
            ASSERT_EQ(messageBox_.told.size(), 1u);
            EXPECT_EQ(messageBox_.told[0].title, QStringLiteral("ルカノバ 3"));
            EXPECT_TRUE(messageBox_.told[0].text.startsWith(c.told + QStringLiteral("\r\n")));
            EXPECT_TRUE(messageBox_.told[0].text.endsWith(QStringLiteral("\r\n") +
                                                          QDir::toNativeSeparators(expected)));
        }
        EXPECT_TRUE(Status()->text().isEmpty());
    }
}

// A workbook dropped on the input field converts as a text table does, and the place of a
// problem names its cell as the spreadsheet shows it.
TEST_F(Form1Test, ADroppedWorkbookConvertsAndItsProblemsNameTheCell) {
    ClickYes();
    const QString output = directory_.filePath(QStringLiteral("out.hy3"));
    Text1(1)->setText(output);
    auto dropOnInput = [&](const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint centre = Text1(0)->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Text1(0), &enter);
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Text1(0), &drop);
        ASSERT_EQ(Text1(0)->text(), QDir::toNativeSeparators(path));
    };

    const std::string workbook = template_workbook::TemplateWorkbook();
    dropOnInput(WriteFile(QStringLiteral("テンプレート.xlsx"),
                          QByteArray(workbook.data(), static_cast<qsizetype>(workbook.size()))));
    ClickConvert();
    // The third line names the sheet converted.
    EXPECT_EQ(Status()->text(),
              kSucceededText + QStringLiteral("\r\nシート「運賃」を変換しました。"));
    EXPECT_EQ(QFile(output).size(), 2202);

    dropOnInput(QStringLiteral(WORKBOOK_FIXTURES "/overflow.xlsx"));
    ClickConvert();
    const QStringList lines = Status()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("6:オーバーフローしました。"));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("2行目3列目（overflow!C2）")))
        << lines[2].toStdString();
    EXPECT_TRUE(Status()->toolTip().contains(QStringLiteral("（overflow!C2）")))
        << Status()->toolTip().toStdString();
    EXPECT_EQ(QFile(output).size(), 2202);  // the previous output stays as it was
}

}  // namespace
}  // namespace main_window
