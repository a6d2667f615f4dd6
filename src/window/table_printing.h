#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "window/fare_table_model.h"

class QWidget;

namespace platform {
class FileDialog;
class PrintDialog;
}  // namespace platform

namespace main_window {

// The table window's printing: 「印刷…」 (Ctrl+P) through the print preview and print
// dialog, and 「PDF に保存…」 through the save dialog. Both print what the window shows; the
// PDF is made and written off the window's event loop, atomically, and `tell` says how it
// went.
class TablePrinting : public QObject {
    Q_OBJECT

  public:
    TablePrinting(QWidget& window, platform::FileDialog& fileDialog,
                  platform::PrintDialog& printDialog, const FareTableModel& model, TableMarks marks,
                  QString path, std::function<void(const QString&)> tell);

    void Print();
    void SaveAsPdf();
    // Whether a PDF is being written.
    bool Busy() const { return busy_; }

  signals:
    // A PDF was written or failed: the window has told which.
    void pdfFinished();

  private:
    QWidget& window_;
    platform::FileDialog& fileDialog_;
    platform::PrintDialog& printDialog_;
    const FareTableModel& model_;
    TableMarks marks_;
    QString path_;
    std::function<void(const QString&)> tell_;
    bool busy_ = false;
};

}  // namespace main_window
