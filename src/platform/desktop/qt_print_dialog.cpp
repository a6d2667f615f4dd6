#include "platform/desktop/qt_print_dialog.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace platform {

PrintResult QtPrintDialog::Print(QWidget* parent, const QPageLayout& layout,
                                 const std::function<bool(QPagedPaintDevice&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    QPrintPreviewDialog preview(&printer, parent);
    // The preview paints through the same signal as the print button's printing; a failure of
    // the last painting is the printer's.
    bool painted = true;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* device) { painted = paint(*device); });
    if (preview.exec() != QDialog::Accepted) {
        return PrintResult::kCancelled;
    }
    return painted && printer.printerState() != QPrinter::Error ? PrintResult::kPrinted
                                                                : PrintResult::kFailed;
}

}  // namespace platform
