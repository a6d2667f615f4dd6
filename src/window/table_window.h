#pragma once

#include <QString>
#include <QWidget>

#include "conversion/outcome.h"
#include "window/fare_table_model.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace platform {
class FileDialog;
class FileOpener;
class MessageBox;
class PrintDialog;
}  // namespace platform

namespace main_window {

class TablePrinting;

// What the table window asks of the desktop, and where the manual is for F1.
struct TableDesktop {
    platform::FileDialog& fileDialog;
    platform::PrintDialog& printDialog;
    platform::FileOpener& fileOpener;
    platform::MessageBox& messageBox;
    QString userManual;
};

// The manual's section on the table window, for F1 there.
inline constexpr char kTableWindowSection[] = "table-window";

// A separate window that shows one .hy3 file, as it was read (conversion::ReadBackDataFile, which
// takes time on a slow card or share: the caller reads it off the event loop), at `path`: its
// name in the title, one grid row per
// record, the record count and file size below. Read-only: the grid can be selected and
// copied (Ctrl+A, Ctrl+C) as tab-separated rows, and the table saved as fare table text.
// A file that cannot be read shows its numbered error and the reason instead of the grid.
// Cells with notices or changes are marked, and every notice and change is listed below the
// grid. The table prints (Ctrl+P) and saves as PDF as it is shown. F1 opens the manual at the
// table window's section; Esc closes it. It opens within the screen's free area, at the size
// it last had. Object names: "FareTable", "Problem", "MarksList", "TableStatus",
// "SaveAsText", "Print", "SaveAsPdf".
class TableWindow : public QWidget {
    Q_OBJECT

  public:
    TableWindow(const TableDesktop& desktop, const QString& path,
                conversion::ConversionOutcome file, const TableMarks& marks = {},
                QWidget* parent = nullptr);
    ~TableWindow() override;

    // Copies the grid's selection to the clipboard as tab-separated rows.
    void CopySelection();
    // Asks for a file name and writes the table there as fare table text.
    void SaveAsText();
    // 「印刷…」 and 「PDF に保存…」; none for a file that could not be read.
    TablePrinting* Printing() const { return printing_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowMarks(const TableMarks& marks);
    void FitToScreen();

    TableDesktop desktop_;
    platform::FileDialog& dialog_;
    QString path_;
    FareTableModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    TablePrinting* printing_ = nullptr;
};

}  // namespace main_window
