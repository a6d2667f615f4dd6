// Qt's print preview: it shows the pages, and its print button only chooses the printer; the
// pages go out through the job.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/desktop/qt_print_dialog.h"

namespace platform {
namespace {

// Waits for the modal dialog of type `Dialog`, then lets `act` work on it.
template <typename Dialog>
void WhenShown(const std::function<void(Dialog&)>& act) {
    QTimer::singleShot(0, [act] {
        Dialog* dialog = nullptr;
        if (QTest::qWaitFor([&] {
                dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
                return dialog != nullptr;
            })) {
            act(*dialog);
        }
    });
}

QAction* PrintButton(QPrintPreviewDialog& preview) {
    for (QAction* action : preview.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("Print")) {
            return action;
        }
    }
    return nullptr;
}

TEST(QtPrintDialogTest, ThePreviewPaintsAndThePrintButtonLeavesThePrintingToTheJob) {
    struct Case {
        bool print;
        bool jobExpected;
    };
    std::vector<Case> cases = {{true, true}, {false, false}};
#ifdef Q_OS_WIN
    // Windows' print dialog is the system's own, which no test can press.
    cases = {{false, false}};
#endif
    for (const Case c : cases) {
        std::vector<QPaintEngine::Type> painted;
        WhenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            if (!c.print) {
                preview.reject();
                return;
            }
            WhenShown<QPrintDialog>([](QPrintDialog& dialog) { dialog.accept(); });
            QAction* print = PrintButton(preview);
            ASSERT_NE(print, nullptr);
            print->trigger();
        });
        const std::unique_ptr<PrintJob> job = QtPrintDialog().Choose(
            nullptr, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, {}),
            [&](QPagedPaintDevice& device) {
                painted.push_back(device.paintEngine()->type());
                return true;
            });
        EXPECT_EQ(job != nullptr, c.jobExpected);
        // Only the preview's pages were painted: none went to the printer.
        EXPECT_FALSE(painted.empty());
        EXPECT_EQ(std::count(painted.begin(), painted.end(), QPaintEngine::Picture),
                  static_cast<long>(painted.size()));
    }
}

}  // namespace
}  // namespace platform
