#include "platform/desktop/qt_print_dialog.h"

#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace platform {
namespace {

class QtPrintJob : public PrintJob {
  public:
    explicit QtPrintJob(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

    bool Print(const std::function<bool(QPagedPaintDevice&)>& paint) override {
        return paint(*printer_) && printer_->printerState() != QPrinter::Error;
    }

  private:
    std::unique_ptr<QPrinter> printer_;
};

// The preview draws its pages through a picture engine; the print button asks for the pages
// once more on the printer's own engine.
bool IsPreview(QPrinter& printer) {
    const QPaintEngine* engine = printer.paintEngine();
    return engine != nullptr && engine->type() == QPaintEngine::Picture;
}

}  // namespace

std::unique_ptr<PrintJob> QtPrintDialog::Choose(
    QWidget* parent, const QPageLayout& layout,
    const std::function<bool(QPagedPaintDevice&)>& paint) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(layout);
    // The printing itself is left to the job, off the preview's event loop. Where the
    // preview closes without asking for the pages (a cancelled file name for a PDF printer),
    // nothing was printed.
    bool printAsked = false;
    {
        QPrintPreviewDialog preview(printer.get(), parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter* device) {
                             if (IsPreview(*device)) {
                                 paint(*device);
                             } else {
                                 printAsked = true;
                             }
                         });
        if (preview.exec() != QDialog::Accepted || !printAsked) {
            return nullptr;
        }
    }
    return std::make_unique<QtPrintJob>(std::move(printer));
}

}  // namespace platform
