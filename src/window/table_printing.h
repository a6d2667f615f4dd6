#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "window/fare_table_model.h"

class QWidget;

namespace platform {
class FileDialog;
class PrintDialog;
}  // namespace platform

namespace main_window {

struct FareChart;

// The table window's printing: 「印刷…」 (Ctrl+P) through the print preview and print
// dialog, and 「PDF に保存…」 through the save dialog. Both print what the window shows, off
// the window's event loop (the PDF written atomically), and `tell` says how it went.
class TablePrinting : public QObject {
    Q_OBJECT

  public:
    TablePrinting(QWidget& window, platform::FileDialog& fileDialog,
                  platform::PrintDialog& printDialog, const FareTableModel& model, TableMarks marks,
                  QString path, std::function<void(const QString&)> tell);

    void Print();
    void SaveAsPdf();
    // Whether a print or a PDF is under way.
    bool Busy() const { return busy_; }

  signals:
    // A print or a PDF began (the window has said which) and ended (the window has told how).
    void started();
    void finished();

  private:
    std::shared_ptr<const FareChart> MakeChart() const;
    // Tells `progress`, runs `work` on a thread of its own, then tells the text it returns.
    void OffTheEventLoop(const QString& progress, std::function<QString()> work);

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
