// The table window and the ways into it, run at 1x and at 2x scale (QT_SCALE_FACTOR).
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <future>

#include "conversion/read_back.h"
#include "fakes.h"
#include "form1_wait.h"
#include "platform/desktop/file_path.h"
#include "qt_files.h"
#include "qt_printers.h"
#include "template/text/template_text.h"
#include "test_support.h"
#include "window/form1.h"
#include "window/program_start.h"
#include "window/table_window.h"

namespace main_window {
namespace {

using fare_model::Notice;
using fare_model::RecordDifference;

class TableWindowTest : public ::testing::Test {
  protected:
    QString WriteFile(const QString& name, std::string_view bytes) {
        const QString path = directory_.filePath(name);
        test_support::WriteBytes(path, bytes);
        return path;
    }
    // The template's seven rows as a .hy3, built from the layout alone.
    QString TemplateDataFile(const QString& name = QStringLiteral("運賃.hy3")) {
        return WriteFile(
            name, test_support::Hy3(
                      {{test_support::Cp932("１２３系統　コンバータのテンプレート"), 1, {140}},
                       {test_support::Cp932("地名１"), 1, {140}},
                       {test_support::Cp932("地名２"), 1, {140}},
                       {test_support::Cp932("地名３"), 2, {150}},
                       {test_support::Cp932("地名４"), 2, {150, 140}},
                       {test_support::Cp932("地名５"), 3, {180, 140}},
                       {test_support::Cp932("地名６"), 4, {200, 150, 140}}}));
    }

    static QString Cell(QTableView* grid, int row, int column, int role = Qt::DisplayRole) {
        return grid->model()->index(row, column).data(role).toString();
    }

    TableDesktop Desktop() { return {dialog_, printDialog_, opener_, messageBox_, QString()}; }

    // The table windows, once `count` of them have been read and shown.
    std::vector<TableWindow*> Tables(size_t count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return windows_.TableWindows().size() >= count; }));
        return windows_.TableWindows();
    }
    TableWindow* OnlyTable() {
        const std::vector<TableWindow*> tables = Tables(1);
        EXPECT_EQ(tables.size(), 1u);
        return tables.empty() ? nullptr : tables.front();
    }
    static conversion::ConversionOutcome Read(const QString& path) {
        return conversion::ReadBackDataFile(platform::FileSystemPath(path));
    }

    QTemporaryDir directory_;
    test_support::FakeFileDialog dialog_;
    test_support::FakeMessageBox messageBox_;
    test_support::FakeFileOpener opener_;
    test_support::FakePrintDialog printDialog_;
    ProgramWindows windows_{dialog_, messageBox_, opener_, printDialog_};
};

TEST_F(TableWindowTest, ADataFileOnTheCommandLineShowsItsRecordsAndCopiesThemAsTabSeparatedRows) {
    const QString damaged = WriteFile(QStringLiteral("壊れた.hy3"),
                                      "\x01\x00\x03\x00"
                                      "AB");
    windows_.Open(ParseStartArguments({TemplateDataFile(), damaged}));
    const std::vector<TableWindow*> tables = Tables(2);
    ASSERT_EQ(tables.size(), 2u);
    TableWindow* table = tables[0];
    ASSERT_TRUE(QTest::qWaitForWindowExposed(table));
    EXPECT_EQ(table->windowTitle(), QStringLiteral("運賃.hy3 - ルカノバ 3"));
    auto* grid = table->findChild<QTableView*>(QStringLiteral("FareTable"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 7);
    EXPECT_EQ(grid->model()->columnCount(), 5);  // name, zone, fares 1 to 3
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("運賃3"));
    EXPECT_EQ(grid->model()->headerData(6, Qt::Vertical).toInt(), 7);
    EXPECT_EQ(table->findChild<QLabel*>(QStringLiteral("TableStatus"))->text(),
              QStringLiteral("7 行、2,202 バイト"));

    QApplication::setActiveWindow(table);
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 8);  // seven rows, each ended by a line end
    EXPECT_EQ(lines[0], QStringLiteral("１２３系統　コンバータのテンプレート\t1\t140\t\t"));
    EXPECT_EQ(lines[6], QStringLiteral("地名６\t4\t200\t150\t140"));
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(table->isVisible());

    // A damaged file shows its numbered error instead of a grid.
    EXPECT_EQ(tables[1]->findChild<QTableView*>(), nullptr);
    const QString problem = tables[1]->findChild<QLabel*>(QStringLiteral("Problem"))->text();
    EXPECT_TRUE(problem.startsWith(QStringLiteral("壊れた.hy3 を表として読めません。\n62:")))
        << problem.toStdString();
    EXPECT_FALSE(tables[1]->findChild<QPushButton*>(QStringLiteral("SaveAsText"))->isEnabled());
}

// A slow card or share: the windows go on while the file is read, under the busy cursor.
TEST_F(TableWindowTest, ADataFileIsReadOffTheEventLoopUnderTheBusyCursor) {
    std::promise<void> cardAnswers;
    windows_.ReadTablesWith([answered = cardAnswers.get_future().share()](const std::string& path) {
        answered.wait();
        return conversion::ReadBackDataFile(path);
    });
    windows_.OpenTable(TemplateDataFile());
    bool eventLoopWent = false;
    QTimer::singleShot(0, [&eventLoopWent] { eventLoopWent = true; });
    EXPECT_TRUE(QTest::qWaitFor([&eventLoopWent] { return eventLoopWent; }));
    EXPECT_TRUE(windows_.TableWindows().empty());
    const QCursor* busy = QGuiApplication::overrideCursor();
    EXPECT_TRUE(busy != nullptr && busy->shape() == Qt::WaitCursor);

    cardAnswers.set_value();
    TableWindow* table = OnlyTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->findChild<QTableView*>()->model()->rowCount(), 7);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(TableWindowTest, ATableTextOnTheCommandLineOpensTheMainWindowAtStepOne) {
    const std::string_view templateBytes = template_text::TemplateText();
    const QString input = WriteFile(QStringLiteral("運賃.csv"), templateBytes);
    windows_.Open(ParseStartArguments({input}));
    Form1& form = windows_.MainWindow();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(windows_.TableWindows().empty());
    EXPECT_TRUE(form.findChild<QRadioButton*>(QStringLiteral("Option1_0"))->isChecked());
    EXPECT_FALSE(form.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible());
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Text1_0"))->text(),
              QDir::toNativeSeparators(input));

    // Typing the output path and pressing Convert is all that is left to do.
    auto* output = form.findChild<QLineEdit*>(QStringLiteral("Text1_1"));
    ASSERT_TRUE(output->hasFocus());
    const QString written = directory_.filePath(QStringLiteral("out.hy3"));
    QTest::keyClicks(output, written);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    WaitUntilIdle(form);
    EXPECT_EQ(test_support::ReadBytes(written).size(), 2202u);
}

TEST_F(TableWindowTest, ADataFileDroppedOnTheMainWindowOpensItsTable) {
    windows_.Open(ParseStartArguments({}));
    Form1& form = windows_.MainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(TemplateDataFile())});
    const QPoint onTheQuestion =
        form.findChild<QWidget*>(QStringLiteral("Label6"))->geometry().center();
    QDragEnterEvent enter(onTheQuestion, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(onTheQuestion, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    TableWindow* table = OnlyTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->findChild<QTableView*>()->model()->rowCount(), 7);
}

TEST_F(TableWindowTest, CellsWithNoticesOrChangesAreMarkedAndEveryOneIsListed) {
    TableMarks marks;
    marks.notices = {{Notice::Kind::kRounded, 4, 3, "1.5<b>", 2, 1},
                     {Notice::Kind::kRowsBeyondLimit, 302, std::nullopt, "", 0, 5}};
    RecordDifference fare;
    fare.kind = RecordDifference::Kind::kFareChanged;
    fare.row = 7;
    fare.fare = 3;
    fare.place = U"地名６";
    fare.oldValue = 130;
    fare.newValue = 140;
    RecordDifference removed;
    removed.kind = RecordDifference::Kind::kRowRemoved;
    removed.row = 8;
    removed.place = U"地名７";
    marks.differences = {fare, removed};
    const QString path = TemplateDataFile();
    TableWindow table(Desktop(), path, Read(path), marks);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    auto* grid = table.findChild<QTableView*>();
    EXPECT_EQ(grid->model()->index(3, 2).data(Qt::BackgroundRole).value<QColor>(),
              NoticeCellColour());
    EXPECT_EQ(Cell(grid, 3, 2, Qt::ToolTipRole),
              QStringLiteral("<p style='white-space:pre'>4行目3列目の「1.5&lt;b&gt;」を 2 "
                             "に丸めました。</p>"));
    EXPECT_EQ(grid->model()->index(6, 4).data(Qt::BackgroundRole).value<QColor>(),
              ChangedCellColour());
    EXPECT_EQ(Cell(grid, 6, 4, Qt::ToolTipRole),
              QStringLiteral("7行目（地名６）の運賃3を 130 から 140 に変えました。"));
    EXPECT_FALSE(grid->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(table.findChild<QPlainTextEdit*>(QStringLiteral("MarksList"))->toPlainText(),
              QStringLiteral("注意（2件）\n"
                             "4行目3列目の「1.5<b>」を 2 に丸めました。\n"
                             "302行目から5行は変換していません（変換するのは301行までです）。\n"
                             "前の .hy3 から 2 か所変わりました。\n"
                             "7行目（地名６）の運賃3を 130 から 140 に変えました。\n"
                             "8行目（地名７）がなくなりました。"));
}

TEST_F(TableWindowTest,
       AfterAConversionTheStatusLineCountsTheChangesAndItsLinkOpensTheMarkedTable) {
    using test_support::Cp932;
    const QString input = WriteFile(QStringLiteral("運賃.csv"),
                                    Cp932("１２３系統　コンバータのテンプレート,1,140\r\n"
                                          "地名１,1,140.5\r\n地名２,1,140\r\n地名３,2,150\r\n"
                                          "地名４,2,150,140\r\n地名５,3,180,140\r\n"
                                          "地名６,4,200,150,140\r\n"));
    // The card in the bus holds one fare less for the last row.
    const QString output = TemplateDataFile();
    test_support::WriteBytes(output, test_support::ReadBytes(output).substr(0, 2202 - 300 + 4) +
                                         std::string("\x82\x00", 2) + std::string(294, '\0'));
    windows_.Open(ParseStartArguments({input}));
    Form1& form = windows_.MainWindow();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.findChild<QLineEdit*>(QStringLiteral("Text1_1"))->setText(output);
    auto* convert = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    QTest::mouseClick(convert, Qt::LeftButton);
    WaitUntilIdle(form);

    const QStringList lines =
        form.findChild<QLabel*>(QStringLiteral("Label5"))->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(
        lines[2].startsWith(QStringLiteral("前の .hy3 から 1 か所変わりました。注意: 2行目")))
        << lines[2].toStdString();
    auto* link = form.findChild<QPushButton*>(QStringLiteral("Label5Link"));
    ASSERT_TRUE(link->isVisible());
    convert->setFocus();
    QTest::keyClick(convert, Qt::Key_Tab);
    ASSERT_TRUE(link->hasFocus());
    QTest::keyClick(link, Qt::Key_Space);

    TableWindow* table = OnlyTable();
    ASSERT_NE(table, nullptr);
    auto* grid = table->findChild<QTableView*>();
    EXPECT_EQ(grid->model()->index(1, 2).data(Qt::BackgroundRole).value<QColor>(),
              NoticeCellColour());
    EXPECT_EQ(grid->model()->index(6, 4).data(Qt::BackgroundRole).value<QColor>(),
              ChangedCellColour());
    EXPECT_EQ(Cell(grid, 6, 4, Qt::ToolTipRole),
              QStringLiteral("7行目（地名６）の運賃3を 130 から 140 に変えました。"));
}

}  // namespace
}  // namespace main_window

namespace main_window {
namespace {

// A workbook's table may start below the sheet's first row: its notices are placed by the
// sheet's rows, a hidden row on its place name, a hidden column on every cell of it.
TEST_F(TableWindowTest, AWorkbooksHiddenRowsAndColumnsAreMarkedWhereTheTableIs) {
    TableMarks marks;
    marks.firstLine = 4;
    Notice hiddenRow;
    hiddenRow.kind = Notice::Kind::kHiddenRow;
    hiddenRow.line = 6;
    hiddenRow.cell = "運賃!6:6";
    Notice hiddenColumn;
    hiddenColumn.kind = Notice::Kind::kHiddenColumn;
    hiddenColumn.field = 4;
    hiddenColumn.cell = "運賃!D:D";
    marks.notices = {hiddenRow, hiddenColumn};
    const QString path = TemplateDataFile();
    TableWindow table(Desktop(), path, Read(path), marks);
    auto* grid = table.findChild<QTableView*>();
    const QColor notice = NoticeCellColour();
    EXPECT_EQ(grid->model()->index(2, 0).data(Qt::BackgroundRole).value<QColor>(), notice);
    EXPECT_FALSE(grid->model()->index(1, 0).data(Qt::BackgroundRole).isValid());
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        EXPECT_EQ(grid->model()->index(row, 3).data(Qt::BackgroundRole).value<QColor>(), notice)
            << row;
    }
}

}  // namespace
}  // namespace main_window
