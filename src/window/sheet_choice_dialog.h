#pragma once

#include <QDialog>

#include "window/sheet_choice.h"

class QListWidget;
class QSpinBox;
class QTableWidget;

namespace main_window {

// The workbook choice: the sheets in the workbook's order with their sizes ("SheetList"), the
// chosen sheet's first rows as a grid ("SheetPreview", as a spreadsheet's own CSV import
// dialog shows them), and the first row of the table ("StartRow"), which a click on a row of
// the grid also sets. The rows above the table are greyed out.
class SheetChoiceDialog : public QDialog {
    Q_OBJECT

  public:
    SheetChoiceDialog(const conversion::workbook::BookOverview& book, QWidget* parent = nullptr);

    SheetChoice Choice() const;

  private:
    void ShowSheet(int index);
    void ShowStartRow(int row);

    const conversion::workbook::BookOverview& book_;
    QListWidget* sheets_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QSpinBox* startRow_ = nullptr;
};

}  // namespace main_window
