#pragma once

#include <QPageLayout>
#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace platform {

enum class PrintResult { kPrinted, kCancelled, kFailed };

// The platform's print preview and print dialog.
class PrintDialog {
  public:
    virtual ~PrintDialog() = default;
    // Shows the pages `paint` draws in a preview whose print button asks for the printer,
    // the paper (starting from `layout`) and the copies, then prints them there. `paint` is
    // false where the device refused to be painted on. kFailed where the printer failed.
    virtual PrintResult Print(QWidget* parent, const QPageLayout& layout,
                              const std::function<bool(QPagedPaintDevice&)>& paint) = 0;
};

}  // namespace platform
