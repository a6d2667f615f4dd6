#include "window/table_printing.h"
#include "conversion/print_wording.h"
#include "conversion/wording.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include "conversion/table_in_memory.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_path.h"
#include "platform/desktop/print_dialog.h"
#include "window/failure_text.h"
#include "window/print/chart_painter.h"
#include "window/print/fare_chart.h"
#include "window/utf8_text.h"

namespace main_window {

TablePrinting::TablePrinting(QWidget& window, platform::FileDialog& fileDialog,
                             platform::PrintDialog& printDialog, const FareTableModel& model,
                             TableMarks marks, QString path,
                             std::function<void(const QString&)> tell)
    : QObject(&window),
      window_(window),
      fileDialog_(fileDialog),
      printDialog_(printDialog),
      model_(model),
      marks_(std::move(marks)),
      path_(std::move(path)),
      tell_(std::move(tell)) {}

void TablePrinting::Print() {
    const QFileInfo file(path_);
    try {
        const FareChart chart = MakeFareChart(
            model_, marks_, {file.fileName(), file.lastModified(), QDateTime::currentDateTime()});
        const platform::PrintResult result = printDialog_.Print(
            &window_, DefaultChartPageLayout(),
            [&](QPagedPaintDevice& device) { return PaintChart(chart, device).has_value(); });
        if (result == platform::PrintResult::kPrinted) {
            tell_(FromUtf8(conversion::PrintedText(file.fileName().toStdString())));
        } else if (result == platform::PrintResult::kFailed) {
            tell_(FromUtf8(conversion::NotPrintedText()) +
                  FailureLine(fare_model::RunError(fare_model::error_code::kDeviceIo)));
        }
    } catch (...) {
        // As a failing file dialog: printing that cannot even start ends silently.
    }
}

void TablePrinting::SaveAsPdf() {
    if (busy_) {
        return;
    }
    const QFileInfo file(path_);
    platform::FileDialogRequest request;
    request.mode = platform::FileDialogMode::kSave;
    request.filter = QStringLiteral("PDF ファイル(*.pdf)|*.pdf");
    request.initialFileName = file.completeBaseName() + QStringLiteral(".pdf");
    std::optional<QString> target;
    try {
        target = fileDialog_.Choose(&window_, request);
    } catch (...) {
        return;
    }
    if (!target) {
        return;
    }
    busy_ = true;
    auto chart = std::make_shared<const FareChart>(MakeFareChart(
        model_, marks_, {file.fileName(), file.lastModified(), QDateTime::currentDateTime()}));
    const std::string input = platform::FileSystemPath(path_);
    const std::string output = platform::FileSystemPath(*target);
    const std::string name = QFileInfo(*target).fileName().toStdString();
    QPointer<TablePrinting> self(this);
    // The chart is painted and the file written on a thread of its own: a 301-row table takes
    // a second or two, and the window goes on repainting meanwhile.
    QThread* worker = QThread::create([chart, input, output, name, self] {
        const conversion::ConversionOutcome written = conversion::WriteMadeFile(input, output, [&] {
            const std::optional<QByteArray> pdf = ChartPdf(*chart, DefaultChartPageLayout());
            if (!pdf) {
                throw fare_model::RunError(fare_model::error_code::kDeviceIo);
            }
            return pdf->toStdString();
        });
        const QString text =
            written.error ? FromUtf8(conversion::NotSavedText(name)) + FailureLine(*written.error)
                          : FromUtf8(conversion::SavedText(name));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, text] {
                if (self) {
                    self->busy_ = false;
                    self->tell_(text);
                    emit self->pdfFinished();
                }
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

}  // namespace main_window
