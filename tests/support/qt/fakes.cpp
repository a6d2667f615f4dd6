#include "fakes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPdfWriter>
#include <QThread>
#include <memory>

namespace test_support {

namespace {

class FakePrintJob : public platform::PrintJob {
  public:
    FakePrintJob(FakePrintDialog& dialog, QPageLayout layout)
        : dialog_(dialog), layout_(std::move(layout)) {}

    bool Print(const std::function<bool(QPagedPaintDevice&)>& paint) override {
        dialog_.paintedOnTheWindowsThread = QThread::currentThread() == qApp->thread();
        QBuffer discarded;
        discarded.open(QIODevice::WriteOnly);
        const auto writer = dialog_.pdfPath.isEmpty()
                                ? std::make_unique<QPdfWriter>(&discarded)
                                : std::make_unique<QPdfWriter>(dialog_.pdfPath);
        writer->setPageLayout(layout_);
        dialog_.painted = paint(*writer);
        return dialog_.painted && dialog_.answer != FakePrintDialog::Answer::kPrinterFails;
    }

  private:
    FakePrintDialog& dialog_;
    QPageLayout layout_;
};

}  // namespace

std::unique_ptr<platform::PrintJob> FakePrintDialog::Choose(
    QWidget*, const QPageLayout& layout, const std::function<bool(QPagedPaintDevice&)>&) {
    ++shown;
    FailAs(failure);
    if (answer == Answer::kCancel) {
        return nullptr;
    }
    return std::make_unique<FakePrintJob>(*this, layout);
}

}  // namespace test_support
