// Before a workbook is converted the window asks which sheet and from which row, showing the
// sheets' first rows; the status line names the sheet converted.
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>

#include "form1_fixture.h"
#include "platform/desktop/file_path.h"
#include "window/sheet_choice_dialog.h"

namespace main_window {
namespace {

using namespace form1_test;  // the fixture and its constants

class FakeSheetChooser : public SheetChooser {
  public:
    std::optional<SheetChoice> answer;
    std::vector<conversion::workbook::BookOverview> asked;

    std::optional<SheetChoice> Choose(QWidget*,
                                      const conversion::workbook::BookOverview& book) override {
        asked.push_back(book);
        return answer;
    }
};

const QString kTwoSheets = QStringLiteral(WORKBOOK_FIXTURES "/sheets.xlsx");

TEST_F(Form1Test, AWorkbookAsksForItsSheetAndTheStatusNamesIt) {
    FakeSheetChooser chooser;
    std::vector<conversion::ConversionOptions> given;
    CreateForm([&](const std::string& in, const std::string& out,
                   const conversion::ConversionOptions& options) {
        given.push_back(options);
        return conversion::ConvertFareTableWith(in, out, options);
    });
    form_->AskForSheets(&chooser);
    const QString output = directory_.filePath(QStringLiteral("out.hy3"));

    // Cancelled: nothing is converted.
    ConvertThroughWindow(kTwoSheets, output);
    ASSERT_EQ(chooser.asked.size(), 1u);
    std::vector<std::string> names;
    for (const auto& sheet : chooser.asked[0].sheets) {
        names.push_back(sheet.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"運賃", "二系統"}));
    EXPECT_TRUE(given.empty());
    EXPECT_FALSE(QFileInfo::exists(output));

    chooser.answer = SheetChoice{"二系統", 2};
    ClickConvert();
    ASSERT_EQ(given.size(), 1u);
    EXPECT_EQ(given[0].sheet, "二系統");
    EXPECT_EQ(given[0].startRow, 2u);
    EXPECT_TRUE(Status()->text().contains(QStringLiteral("シート「二系統」を変換しました。")))
        << Status()->text().toStdString();

    // A text table has no sheets to choose.
    ConvertThroughWindow(TemplateFile(), output);
    EXPECT_EQ(chooser.asked.size(), 2u);
    EXPECT_FALSE(given.back().sheet.has_value());
}

// The real dialog: the sheets with their sizes, the one that looks like a fare table chosen,
// its first rows as a grid, and the table's first row set by a click on the grid.
TEST_F(Form1Test, TheSheetDialogShowsTheRowsAndTakesTheFirstRow) {
    const conversion::workbook::BookOverview overview = conversion::workbook::ReadBookOverview(
        platform::SystemFileSystem(),
        platform::FileSystemPath(QStringLiteral(WORKBOOK_FIXTURES "/sheets.ods")));
    ASSERT_TRUE(overview.isWorkbook);
    ASSERT_EQ(overview.sheets.size(), 2u);

    SheetChoiceDialog dialog(overview);
    dialog.show();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("SheetList"));
    auto* grid = dialog.findChild<QTableWidget*>(QStringLiteral("SheetPreview"));
    auto* startRow = dialog.findChild<QSpinBox*>(QStringLiteral("StartRow"));
    ASSERT_TRUE(list && grid && startRow);
    EXPECT_TRUE(list->item(0)->text().startsWith(QStringLiteral("運賃（")));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(startRow->value(), 1);
    ASSERT_GE(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), QString::fromStdString(overview.sheets[0].preview[0][0]));

    list->setCurrentRow(1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(1, 0)).center());
    EXPECT_EQ(startRow->value(), 2);
    EXPECT_EQ(dialog.Choice().sheet, "二系統");
    EXPECT_EQ(dialog.Choice().startRow, 2u);
}

}  // namespace
}  // namespace main_window

namespace main_window {
namespace {

// With RUKANOBA_SHEET_DIALOG_PNG set, keeps a picture of the dialog over the usual fare sheet
// (a title, a header, an empty row, then the table) for the manual.
TEST(SheetChoiceDialogPicture, TheUsualFareSheet) {
    const QString picture = qEnvironmentVariable("RUKANOBA_SHEET_DIALOG_PNG");
    if (picture.isEmpty()) {
        GTEST_SKIP() << "RUKANOBA_SHEET_DIALOG_PNG is not set";
    }
    const conversion::workbook::BookOverview overview = conversion::workbook::ReadBookOverview(
        platform::SystemFileSystem(),
        platform::FileSystemPath(QStringLiteral(WORKBOOK_FIXTURES "/habits/title-layout.xlsx")));
    SheetChoiceDialog dialog(overview);
    dialog.resize(640, 480);
    dialog.show();
    ASSERT_TRUE(dialog.grab().save(picture));
}

}  // namespace
}  // namespace main_window
