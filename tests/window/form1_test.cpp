#include "form1_fixture.h"

namespace main_window {
namespace {

using namespace form1_test;  // the fixture and its constants

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
                             "表計算ファイル(*.xlsx,*.ods)|*.xlsx;*.ods|すべてのファイル(*.*)|*"));
    EXPECT_TRUE(dialog_.requests[0].initialFileName.isEmpty());
    EXPECT_EQ(dialog_.requests[1].mode, platform::FileDialogMode::kSave);
    EXPECT_EQ(dialog_.requests[1].filter, QStringLiteral("運賃表示器データVer3(*.hy3)|*.hy3"));
    EXPECT_TRUE(dialog_.requests[1].initialFileName.isEmpty());
    // The output is looked for beside the input.
    EXPECT_TRUE(dialog_.requests[0].initialFolder.isEmpty());
    EXPECT_EQ(dialog_.requests[1].initialFolder, QFileInfo(Text1(0)->text()).absolutePath());
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

}  // namespace
}  // namespace main_window
