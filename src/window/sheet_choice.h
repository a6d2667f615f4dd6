#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "conversion/formats/workbook/sheet_list.h"

class QWidget;

namespace main_window {

// Which sheet of a workbook to convert, and the row where its table starts.
struct SheetChoice {
    std::string sheet;
    uint32_t startRow = 1;
};

// Asks the user which sheet to convert and where its table starts, showing the sheets' first
// rows; faked in tests.
class SheetChooser {
  public:
    virtual ~SheetChooser() = default;
    // None where the user cancelled.
    virtual std::optional<SheetChoice> Choose(QWidget* parent,
                                              const conversion::workbook::BookOverview& book) = 0;
};

// The real dialog.
class SheetChoiceDialogChooser : public SheetChooser {
  public:
    std::optional<SheetChoice> Choose(QWidget* parent,
                                      const conversion::workbook::BookOverview& book) override;
};

}  // namespace main_window
