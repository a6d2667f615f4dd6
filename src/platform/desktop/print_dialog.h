#pragma once

#include <QPageLayout>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QWidget;

namespace platform {

// A printer the user chose, with the paper and copies the print dialog set.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    // Draws the pages with `paint` (false where the device refused to be painted on) and hands
    // them to the printer. On any one thread: a thread of its own keeps the window responsive
    // while a long table goes out. False where the painting or the printer failed.
    virtual bool Print(const std::function<bool(QPagedPaintDevice&)>& paint) = 0;
};

// The platform's print preview and print dialog.
class PrintDialog {
  public:
    virtual ~PrintDialog() = default;
    // Shows the pages `paint` draws in a preview whose print button asks for the printer, the
    // paper (starting from `layout`) and the copies. The printer chosen, or null where the user
    // cancelled; nothing is printed until the job's Print.
    virtual std::unique_ptr<PrintJob> Choose(
        QWidget* parent, const QPageLayout& layout,
        const std::function<bool(QPagedPaintDevice&)>& paint) = 0;
};

}  // namespace platform
