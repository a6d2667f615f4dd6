#pragma once

#include <QString>
#include <QWidget>

#include "window/fare_table_model.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace platform {
class FileDialog;
}

namespace main_window {

// A separate window that shows one .hy3 file: its name in the title, one grid row per
// record, the record count and file size below. Read-only: the grid can be selected and
// copied (Ctrl+A, Ctrl+C) as tab-separated rows, and the table saved as fare table text.
// A file that cannot be read shows its numbered error and the reason instead of the grid.
// Cells with notices or changes are marked, and every notice and change is listed below the
// grid. Esc closes it. Object names: "FareTable", "Problem", "MarksList", "TableStatus",
// "SaveAsText".
class TableWindow : public QWidget {
    Q_OBJECT

  public:
    TableWindow(platform::FileDialog& dialog, const QString& path, const TableMarks& marks = {},
                QWidget* parent = nullptr);

    // Copies the grid's selection to the clipboard as tab-separated rows.
    void CopySelection();
    // Asks for a file name and writes the table there as fare table text.
    void SaveAsText();

  private:
    void ShowMarks(const TableMarks& marks);

    platform::FileDialog& dialog_;
    QString path_;
    FareTableModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* saveButton_ = nullptr;
};

}  // namespace main_window
