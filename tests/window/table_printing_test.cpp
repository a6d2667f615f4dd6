// The table window's printing, help and size, with fakes for the desktop's dialogs; run at 1x
// and at 2x scale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "fakes.h"
#include "pdf_text.h"
#include "qt_files.h"
#include "qt_printers.h"
#include "test_support.h"
#include "window/off_the_event_loop.h"
#include "window/program_start.h"
#include "window/table_printing.h"
#include "window/table_window.h"

namespace main_window {
namespace {

class TablePrintingTest : public ::testing::Test {
  protected:
    TableWindow& OpenTemplate() {
        const QString path = directory_.filePath(QStringLiteral("運賃.hy3"));
        test_support::WriteBytes(
            path, test_support::Hy3({{test_support::Cp932("地名１"), 1, {140}},
                                     {test_support::Cp932("地名２"), 2, {150, 140}}}));
        TableWindow* shown = nullptr;
        const QObject whileOpening;
        QObject::connect(&windows_, &ProgramWindows::tableShown, &whileOpening,
                         [&shown](TableWindow* table) { shown = table; });
        windows_.OpenTable(path);
        EXPECT_TRUE(QTest::qWaitFor([&shown] { return shown != nullptr; }));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(shown));
        return *shown;
    }
    static QString Status(const TableWindow& table) {
        return table.findChild<QLabel*>(QStringLiteral("TableStatus"))->text();
    }
    static void Click(const TableWindow& table, const char* name) {
        QTest::mouseClick(table.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    QTemporaryDir directory_;
    test_support::FakeFileDialog dialog_;
    test_support::FakeMessageBox messageBox_;
    test_support::FakeFileOpener opener_;
    test_support::FakePrintDialog printDialog_;
    ProgramWindows windows_{dialog_, messageBox_, opener_, printDialog_,
                            QApplication::applicationFilePath()};
};

TEST_F(TablePrintingTest, PrintPrintsWhatTheWindowShowsOffTheEventLoopAndSaysSoOrWhyNot) {
    TableWindow& table = OpenTemplate();
    QSignalSpy finished(table.Printing(), &TablePrinting::finished);
    printDialog_.pdfPath = directory_.filePath(QStringLiteral("printed.pdf"));
    printDialog_.paintedOnTheWindowsThread = true;
    Click(table, "Print");
    EXPECT_EQ(printDialog_.shown, 1);
    EXPECT_EQ(Status(table), QStringLiteral("運賃.hy3 を印刷しています…"));
    EXPECT_FALSE(table.findChild<QPushButton*>(QStringLiteral("SaveAsPdf"))->isEnabled());
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(table.findChild<QPushButton*>(QStringLiteral("SaveAsPdf"))->isEnabled());
    EXPECT_FALSE(printDialog_.paintedOnTheWindowsThread);
    EXPECT_EQ(Status(table), QStringLiteral("運賃.hy3 を印刷しました。"));
    if (test_support::HavePdfTools()) {
        const QStringList pages = test_support::PdfPages(printDialog_.pdfPath);
        ASSERT_EQ(pages.size(), 1);
        EXPECT_TRUE(pages[0].contains(QStringLiteral("地名２"))) << pages[0].toStdString();
    }
    // Ctrl+P, a printer that fails, a cancelled preview and a dialog that fails: the window
    // stays.
    printDialog_.answer = test_support::FakePrintDialog::Answer::kPrinterFails;
    QApplication::setActiveWindow(&table);
    QTest::keyClick(&table, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printDialog_.shown, 2);
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(Status(table), QStringLiteral("印刷できませんでした。57:デバイス I/O エラーです。"));
    printDialog_.answer = test_support::FakePrintDialog::Answer::kCancel;
    Click(table, "Print");
    EXPECT_FALSE(table.Printing()->Busy());
    printDialog_.failure = test_support::Failure::kStdException;
    Click(table, "Print");
    EXPECT_TRUE(table.isVisible());
    EXPECT_EQ(printDialog_.shown, 4);
}

TEST_F(TablePrintingTest, SaveAsPdfWritesOffTheEventLoopAndReplacesTheOldFileOnlyWhenWhole) {
    TableWindow& table = OpenTemplate();
    const QString pdf = directory_.filePath(QStringLiteral("運賃.pdf"));
    test_support::WriteBytes(pdf, "old");
    QSignalSpy finished(table.Printing(), &TablePrinting::finished);
    dialog_.answers = {pdf, directory_.filePath(QStringLiteral("no folder/運賃.pdf"))};
    Click(table, "SaveAsPdf");
    EXPECT_EQ(dialog_.requests.back().initialFileName, QStringLiteral("運賃.pdf"));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(Status(table), QStringLiteral("運賃.pdf に保存しました。"));
    EXPECT_TRUE(test_support::ReadBytes(pdf).starts_with("%PDF"));

    Click(table, "SaveAsPdf");
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(Status(table).startsWith(
        QStringLiteral("保存できませんでした（運賃.pdf は変更していません）。76:")))
        << Status(table).toStdString();
}

// The program's end waits for a PDF under way, so that closing the window loses no file.
TEST_F(TablePrintingTest, FinishingWaitsUntilThePdfUnderWayIsWhole) {
    TableWindow& table = OpenTemplate();
    const QString pdf = directory_.filePath(QStringLiteral("閉じる前.pdf"));
    QSignalSpy finished(table.Printing(), &TablePrinting::finished);
    dialog_.answers = {pdf};
    Click(table, "SaveAsPdf");
    FinishWorkOffTheEventLoop();
    EXPECT_TRUE(test_support::ReadBytes(pdf).ends_with("%%EOF\n"));
    ASSERT_TRUE(finished.wait(60000));
}

TEST_F(TablePrintingTest, F1OpensTheManualAtTheTableWindowsSection) {
    TableWindow& table = OpenTemplate();
    QApplication::setActiveWindow(&table);
    QTest::keyClick(&table, Qt::Key_F1);
    ASSERT_EQ(opener_.opened.size(), 1u);
    EXPECT_EQ(opener_.opened[0], QApplication::applicationFilePath());
    EXPECT_EQ(opener_.sections[0], QStringLiteral("table-window"));
}

TEST_F(TablePrintingTest, TheWindowFitsTheScreenAndOpensAtTheSizeItWasLeftAt) {
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    TableWindow& first = OpenTemplate();
    EXPECT_LE(first.width(), free.width());
    EXPECT_LE(first.height(), free.height());
    // Larger than the screen is cut down to it.
    first.resize(free.size() * 3);
    first.close();
    TableWindow& second = OpenTemplate();
    EXPECT_LE(second.frameGeometry().width(), free.width());
    EXPECT_LE(second.frameGeometry().height(), free.height());
    const QSize remembered(free.width() - 20, free.height() * 3 / 4);
    second.resize(remembered);
    second.close();
    EXPECT_EQ(OpenTemplate().size(), remembered);
}

}  // namespace
}  // namespace main_window
