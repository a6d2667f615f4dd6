#pragma once

#include "platform/desktop/print_dialog.h"

namespace platform {

// Qt's QPrintPreviewDialog, whose print button opens QPrintDialog.
class QtPrintDialog : public PrintDialog {
  public:
    std::unique_ptr<PrintJob> Choose(QWidget* parent, const QPageLayout& layout,
                                     const std::function<bool(QPagedPaintDevice&)>& paint) override;
};

}  // namespace platform
