#pragma once

#include "platform/desktop/print_dialog.h"

namespace platform {

// Qt's QPrintPreviewDialog, whose print button opens QPrintDialog.
class QtPrintDialog : public PrintDialog {
  public:
    PrintResult Print(QWidget* parent, const QPageLayout& layout,
                      const std::function<bool(QPagedPaintDevice&)>& paint) override;
};

}  // namespace platform
