#include "window/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QUrl>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "fakes.h"
#include "qt_files.h"
#include "qt_printers.h"
#include "template/text/template_text.h"
#include "template/workbook/template_workbook.h"
#include "window/layout_table.h"
#include "window/user_manual.h"

namespace main_window {
namespace {

using conversion::ConversionOutcome;
using test_support::FakeFileDialog;
using test_support::FakeFileOpener;
using test_support::FakeMessageBox;

const QString kSucceededText = QStringLiteral(
    "正常にコンバートされました。\r\n運賃表示器を動かして表示テストを行ってください。");
const QString kCheckTheFile = QStringLiteral("\r\nファイルを点検してください。");
const QColor kGrey(192, 192, 192);
const QColor kYellowColour(255, 255, 0);

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { CreateForm(conversion::ConvertFareTable); }

    void CreateForm(FareTableConverter converter, const QString& userManual = QString()) {
        form_ = std::make_unique<Form1>(dialog_, messageBox_, opener_, nullptr,
                                        std::move(converter), userManual);
        form_->show();
        QApplication::setActiveWindow(form_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) {
        auto* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QLineEdit* Text1(int index) { return Find<QLineEdit>(index == 0 ? "Text1_0" : "Text1_1"); }
    QLabel* Status() { return Find<QLabel>("Label5"); }
    QTimer* Timer() { return Find<QTimer>("Timer1"); }
    QColor StatusBackground() { return Status()->palette().color(QPalette::Window); }

    void ClickYes() { QTest::mouseClick(Find<QRadioButton>("Option1_0"), Qt::LeftButton); }
    void ClickNo() { QTest::mouseClick(Find<QRadioButton>("Option1_1"), Qt::LeftButton); }
    void ClickConvert() { QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton); }

    void Tick() {
        QTimerEvent tick(Timer()->timerId());
        QCoreApplication::sendEvent(Timer(), &tick);
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = directory_.filePath(name);
        test_support::WriteBytes(path, bytes.toStdString());
        return path;
    }

    QString TemplateFile() {
        const std::string_view bytes = template_text::TemplateText();
        return WriteFile(QStringLiteral("template.txt"),
                         QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }

    // Chooses Yes, fills both paths and clicks Convert.
    void ConvertThroughWindow(const QString& input, const QString& output) {
        ClickYes();
        Text1(0)->setText(input);
        Text1(1)->setText(output);
        ASSERT_TRUE(Find<QPushButton>("Command1")->isEnabled());
        ClickConvert();
    }

    QTemporaryDir directory_;
    FakeFileDialog dialog_;
    FakeMessageBox messageBox_;
    FakeFileOpener opener_;
    std::unique_ptr<Form1> form_;
};

TEST_F(Form1Test, BuildsEveryControlOfTheLayoutTableWhereTheTablePutsIt) {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("ルカノバ 3"));
    EXPECT_EQ(form_->size(), QSize(504, 375));
    EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
    EXPECT_FALSE(form_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form_->windowFlags() & Qt::WindowMaximizeButtonHint);

    for (const LayoutRow& row : Form1Layout()) {
        SCOPED_TRACE(std::string(row.name));
        QWidget* widget = Find(std::string(row.name).c_str());
        ASSERT_NE(widget, nullptr);
        const QString container =
            row.container.empty() ? QStringLiteral("Form1") : FromUtf8(row.container);
        EXPECT_EQ(widget->parentWidget()->objectName(), container);
        EXPECT_EQ(widget->geometry(),
                  QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
    }
    EXPECT_EQ(Find("Text1_0")->geometry(), QRect(13, 27, 372, 20));
    EXPECT_EQ(Find("Picture1")->geometry(), QRect(8, 156, 489, 160));

    EXPECT_EQ(Find<QRadioButton>("Option1_0")->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(Find<QRadioButton>("Option1_1")->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(Find<QPushButton>("Command1")->text(), QStringLiteral("コンバート(&C)"));
    EXPECT_EQ(Find<QPushButton>("Command2_0")->text(), QStringLiteral("参照(&B)..."));
    EXPECT_EQ(Find<QPushButton>("Command3")->text(),
              QStringLiteral("コンバータからのテンプレート提供をうける(&S)..."));
    EXPECT_EQ(Find<QLabel>("Label6")->text(),
              QStringLiteral("確認、すぐ変換できるファイルがありますか？"));
    EXPECT_TRUE(Find<QLabel>("Label4")->wordWrap());
    EXPECT_EQ(Find<QLabel>("Label3")->font().pointSizeF(), 14.25);
    EXPECT_TRUE(Find<QLabel>("Label3")->font().bold());
}

TEST_F(Form1Test, LabelsLieUnderTheOtherControlsAndTheBlankPanelCoversTheSteps) {
    // Sibling widgets are stacked in the order of their parent's children, bottom first.
    auto stackIndex = [](QWidget* widget) {
        return widget->parentWidget()->children().indexOf(widget);
    };
    for (const char* label : {"Label1_0", "Label1_1", "Label1_2"}) {
        for (const char* control : {"Text1_0", "Text1_1", "Command1", "Command2_0", "Command2_1"}) {
            EXPECT_LT(stackIndex(Find(label)), stackIndex(Find(control))) << label << control;
        }
    }
    for (const char* above : {"Frame1", "Label7", "Command3"}) {
        EXPECT_LT(stackIndex(Find("Label6")), stackIndex(Find(above))) << above;
    }
    EXPECT_LT(stackIndex(Find("Label5")), stackIndex(Find("Frame2")));
    EXPECT_LT(stackIndex(Find("Frame2")), stackIndex(Find("Picture1")));
}

TEST_F(Form1Test, TabOrderFollowsTheTable) {
    const QStringList expected = {"Option1_0", "Option1_1",  "Command3", "Command2_1",
                                  "Text1_1",   "Command2_0", "Text1_0",  "Command1"};
    QStringList visited;
    QWidget* widget = Find("Option1_0");
    for (int step = 0; step < expected.size(); ++step) {
        visited.append(widget->objectName());
        do {
            widget = widget->nextInFocusChain();
        } while (!expected.contains(widget->objectName()) && widget != Find("Option1_0"));
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(Form1Test, StartsWithTheQuestionUnansweredAndTheStepsCovered) {
    EXPECT_FALSE(Find<QRadioButton>("Option1_0")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("Option1_1")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), Find("Option1_0"));
    EXPECT_TRUE(Find("Picture1")->isVisible());
    EXPECT_TRUE(Find("Frame2")->isEnabled());
    EXPECT_FALSE(Find("Command1")->isEnabled());
    EXPECT_TRUE(Find("Command3")->isEnabled());
    EXPECT_TRUE(Text1(0)->text().isEmpty());
    EXPECT_TRUE(Text1(1)->text().isEmpty());
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_EQ(Timer()->interval(), 500);
    EXPECT_TRUE(Status()->text().isEmpty());
    // No button answers Enter by itself.
    for (QPushButton* button : form_->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
}

TEST_F(Form1Test, YesAndNoSwitchBetweenTheStepsAndTheTemplateKeepingThePaths) {
    ClickYes();
    EXPECT_TRUE(Find("Frame2")->isEnabled());
    EXPECT_FALSE(Find("Command3")->isEnabled());
    EXPECT_FALSE(Find("Picture1")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Text1(0));

    QTest::keyClicks(Text1(0), QStringLiteral("/tmp/fare.csv"));
    QTest::keyClicks(Text1(1), QStringLiteral("/tmp/fare.hy3"));
    EXPECT_TRUE(Find("Command1")->isEnabled());

    ClickNo();
    EXPECT_FALSE(Find("Frame2")->isEnabled());
    EXPECT_FALSE(Text1(0)->isEnabled());
    EXPECT_TRUE(Find("Command3")->isEnabled());
    EXPECT_TRUE(Find("Picture1")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Find("Command3"));

    ClickYes();
    EXPECT_EQ(Text1(0)->text(), QStringLiteral("/tmp/fare.csv"));
    EXPECT_EQ(Text1(1)->text(), QStringLiteral("/tmp/fare.hy3"));
    EXPECT_TRUE(Find("Command1")->isEnabled());
    EXPECT_FALSE(Find("Picture1")->isVisible());
}

TEST_F(Form1Test, AccessKeysAndArrowsChooseTheOptions) {
    QTest::keyClick(form_.get(), Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QRadioButton>("Option1_1")->isChecked(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == Find("Command3"); }));

    QTest::keyClick(form_.get(), Qt::Key_Y, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QRadioButton>("Option1_0")->isChecked(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == Text1(0); }));

    // An arrow key on the chosen option switches as a click does, focus included.
    Find("Option1_0")->setFocus();
    QTest::keyClick(Find("Option1_0"), Qt::Key_Down);
    EXPECT_TRUE(Find<QRadioButton>("Option1_1")->isChecked());
    EXPECT_TRUE(Find("Picture1")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Find("Command3"));
}

TEST_F(Form1Test, ConvertIsEnabledOnlyWhileBothPathsHoldText) {
    struct Case {
        const char* input;
        const char* output;
        bool enabled;
    };
    const Case cases[] = {
        {"", "", false},        {"in.csv", "", false},
        {"", "out.hy3", false}, {"in.csv", "out.hy3", true},
        {" ", " ", true},       {"in.csv", "", false},
    };
    ClickYes();
    for (const Case& c : cases) {
        Text1(0)->setText(QString::fromUtf8(c.input));
        Text1(1)->setText(QString::fromUtf8(c.output));
        EXPECT_EQ(Find("Command1")->isEnabled(), c.enabled) << c.input << "|" << c.output;
    }

    // Typing and deleting count as well.
    Text1(1)->clear();
    QTest::keyClicks(Text1(1), QStringLiteral("o"));
    EXPECT_TRUE(Find("Command1")->isEnabled());
    QTest::keyClick(Text1(1), Qt::Key_Backspace);
    EXPECT_FALSE(Find("Command1")->isEnabled());
}

TEST_F(Form1Test, BrowseFillsTheFieldFromTheDialog) {
    ClickYes();
    dialog_.answers = {QStringLiteral("/home/user/運賃表.csv"),
                       QStringLiteral("/home/user/運賃.hy3")};
    QTest::mouseClick(Find<QPushButton>("Command2_0"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>("Command2_1"), Qt::LeftButton);

    EXPECT_EQ(Text1(0)->text(), QStringLiteral("/home/user/運賃表.csv"));
    EXPECT_EQ(Text1(1)->text(), QStringLiteral("/home/user/運賃.hy3"));
    EXPECT_TRUE(Find("Command1")->isEnabled());

    ASSERT_EQ(dialog_.requests.size(), 2u);
    EXPECT_EQ(dialog_.requests[0].mode, platform::FileDialogMode::kOpen);
    EXPECT_EQ(dialog_.requests[0].filter,
              QStringLiteral("テキストファイル(*.txt,*.csv)|*.txt;*.csv|"
                             "表計算ブック(*.xlsx;*.ods)|*.xlsx;*.ods"));
    EXPECT_TRUE(dialog_.requests[0].initialFileName.isEmpty());
    EXPECT_EQ(dialog_.requests[1].mode, platform::FileDialogMode::kSave);
    EXPECT_EQ(dialog_.requests[1].filter, QStringLiteral("運賃表示器データVer3(*.hy3)|*.hy3"));
    EXPECT_TRUE(dialog_.requests[1].initialFileName.isEmpty());
}

TEST_F(Form1Test, CancelledOrFailedBrowseLeavesTheFieldAsItWas) {
    ClickYes();
    Text1(0)->setText(QStringLiteral("before.csv"));
    dialog_.answers = {std::nullopt};
    QTest::mouseClick(Find<QPushButton>("Command2_0"), Qt::LeftButton);
    EXPECT_EQ(Text1(0)->text(), QStringLiteral("before.csv"));

    dialog_.failure = test_support::Failure::kStdException;
    QTest::mouseClick(Find<QPushButton>("Command2_0"), Qt::LeftButton);
    EXPECT_EQ(Text1(0)->text(), QStringLiteral("before.csv"));
}

TEST_F(Form1Test, ConvertsTheTemplateAndReportsSuccessOnSteadyGrey) {
    const QString output = directory_.filePath(QStringLiteral("運賃.hy3"));
    ConvertThroughWindow(TemplateFile(), output);

    EXPECT_EQ(Status()->text(), kSucceededText);
    EXPECT_EQ(StatusBackground(), kGrey);
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_TRUE(Status()->toolTip().isEmpty());
    EXPECT_TRUE(QFile::exists(output));
}

TEST_F(Form1Test, FailureShowsCodeAndDescriptionAndBlinksUntilTheNextConvert) {
    const QString missing = directory_.filePath(QStringLiteral("ない.csv"));
    ConvertThroughWindow(missing, directory_.filePath(QStringLiteral("out.hy3")));

    // The code and description, then the request to check the file; a third line may explain.
    const QStringList lines = Status()->text().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("53:")));
    EXPECT_EQ(QStringLiteral("\r\n") + lines[1], kCheckTheFile);
    ASSERT_TRUE(Timer()->isActive());
    EXPECT_EQ(StatusBackground(), kGrey);
    Tick();
    EXPECT_EQ(StatusBackground(), kYellowColour);
    Tick();
    EXPECT_EQ(StatusBackground(), kGrey);
    Tick();
    EXPECT_EQ(StatusBackground(), kYellowColour);

    // A table that converts stops the blink for good.
    Text1(0)->setText(TemplateFile());
    ClickConvert();
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_EQ(StatusBackground(), kGrey);
    EXPECT_EQ(Status()->text(), kSucceededText);
}

TEST_F(Form1Test, TheTooltipNamesTheRowThatFailed) {
    const QString table = WriteFile(QStringLiteral("bad.csv"), "stop,1,140\r\nstop2,1,99999\r\n");
    ConvertThroughWindow(table, directory_.filePath(QStringLiteral("out.hy3")));
    EXPECT_TRUE(Status()->text().startsWith(QStringLiteral("6:")));
    EXPECT_EQ(Status()->toolTip(),
              QStringLiteral("入力ファイルの2行目でエラーが見つかりました。\n"
                             "2行目3列目: 「99999」が -32768〜32767 の範囲を超えています。"));
}

TEST_F(Form1Test, AnEmptyTableKeepsTheCaptionButStopsTheBlink) {
    const QString output = directory_.filePath(QStringLiteral("out.hy3"));
    ConvertThroughWindow(directory_.filePath(QStringLiteral("ない.csv")), output);
    const QString failure = Status()->text();
    Tick();
    ASSERT_EQ(StatusBackground(), kYellowColour);

    Text1(0)->setText(WriteFile(QStringLiteral("empty.csv"), QByteArray()));
    ClickConvert();
    EXPECT_EQ(Status()->text(), failure);
    EXPECT_FALSE(Timer()->isActive());
    EXPECT_EQ(StatusBackground(), kGrey);
    EXPECT_FALSE(QFile::exists(output));
}

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
    CreateForm([&](const std::string&, const std::string&) {
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

// The conversion catches its own failures, an exhausted memory included, and reports them
// as an internal failure; the window shows it like any other.
TEST_F(Form1Test, AnInternalFailureStillEndsInAMessageAndRestoresTheCursor) {
    CreateForm([](const std::string&, const std::string&) {
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
    EXPECT_EQ(Text1(0)->text(), path);

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
        CreateForm(conversion::ConvertFareTable, manual);

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
            EXPECT_TRUE(messageBox_.told[0].text.endsWith(QStringLiteral("\r\n") + expected));
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
        ASSERT_EQ(Text1(0)->text(), path);
    };

    const std::string workbook = template_workbook::TemplateWorkbook();
    dropOnInput(WriteFile(QStringLiteral("テンプレート.xlsx"),
                          QByteArray(workbook.data(), static_cast<qsizetype>(workbook.size()))));
    ClickConvert();
    EXPECT_EQ(Status()->text(), kSucceededText);
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
