#pragma once

// What the main window's tests share: the window with fake dialogs, its controls by object
// name, and the colours and texts of its status label.

#include "window/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QUrl>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "fakes.h"
#include "form1_wait.h"
#include "qt_files.h"
#include "qt_printers.h"
#include "template/text/template_text.h"
#include "template/workbook/template_workbook.h"
#include "window/layout_table.h"
#include "window/user_manual.h"

namespace main_window::form1_test {

using conversion::ConversionOutcome;
using test_support::FakeFileDialog;
using test_support::FakeFileOpener;
using test_support::FakeMessageBox;

inline const QString kSucceededText = QStringLiteral(
    "正常にコンバートされました。\r\n運賃表示器を動かして表示テストを行ってください。");
inline const QString kCheckTheFile = QStringLiteral("\r\nファイルを点検してください。");
inline const QColor kGrey(192, 192, 192);
inline const QColor kYellowColour(255, 255, 0);

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { CreateForm(ConvertOnThisComputer); }

    void CreateForm(FareTableConverter converter, const QString& userManual = QString()) {
        form_ = std::make_unique<Form1>(dialog_, messageBox_, opener_, nullptr,
                                        std::move(converter), userManual);
        form_->show();
        QApplication::setActiveWindow(form_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) {
        auto* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QLineEdit* Text1(int index) { return Find<QLineEdit>(index == 0 ? "Text1_0" : "Text1_1"); }
    QLabel* Status() { return Find<QLabel>("Label5"); }
    QTimer* Timer() { return Find<QTimer>("Timer1"); }
    QColor StatusBackground() { return Status()->palette().color(QPalette::Window); }

    void ClickYes() { QTest::mouseClick(Find<QRadioButton>("Option1_0"), Qt::LeftButton); }
    void ClickNo() { QTest::mouseClick(Find<QRadioButton>("Option1_1"), Qt::LeftButton); }
    // Clicks Convert and waits until the conversion, which runs off the event loop, has ended.
    void ClickConvert() {
        QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton);
        WaitUntilIdle(*form_);
    }

    void Tick() {
        QTimerEvent tick(Timer()->timerId());
        QCoreApplication::sendEvent(Timer(), &tick);
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = directory_.filePath(name);
        test_support::WriteBytes(path, bytes.toStdString());
        return path;
    }

    QString TemplateFile() {
        const std::string_view bytes = template_text::TemplateText();
        return WriteFile(QStringLiteral("template.txt"),
                         QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }

    // Chooses Yes, fills both paths and clicks Convert.
    void ConvertThroughWindow(const QString& input, const QString& output) {
        ClickYes();
        Text1(0)->setText(input);
        Text1(1)->setText(output);
        ASSERT_TRUE(Find<QPushButton>("Command1")->isEnabled());
        ClickConvert();
    }

    QTemporaryDir directory_;
    FakeFileDialog dialog_;
    FakeMessageBox messageBox_;
    FakeFileOpener opener_;
    std::unique_ptr<Form1> form_;
};

}  // namespace main_window::form1_test
