#include "fakes.h"

#include <QBuffer>
#include <QPdfWriter>
#include <memory>

namespace test_support {

platform::PrintResult FakePrintDialog::Print(QWidget*, const QPageLayout& layout,
                                             const std::function<bool(QPagedPaintDevice&)>& paint) {
    ++shown;
    FailAs(failure);
    if (answer == platform::PrintResult::kCancelled) {
        return answer;
    }
    QBuffer discarded;
    discarded.open(QIODevice::WriteOnly);
    const auto writer = pdfPath.isEmpty() ? std::make_unique<QPdfWriter>(&discarded)
                                          : std::make_unique<QPdfWriter>(pdfPath);
    writer->setPageLayout(layout);
    painted = paint(*writer);
    return painted ? answer : platform::PrintResult::kFailed;
}

}  // namespace test_support
