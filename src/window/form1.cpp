#include "window/form1.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "conversion/wording.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_path.h"
#include "template/export/template_export.h"
#include "window/layout_look.h"
#include "window/layout_table.h"
#include "window/path_field.h"
#include "window/user_manual.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

constexpr int kBlinkIntervalMs = 500;
// A run that takes longer than this says in the status label what the window is doing.
constexpr int kProgressDelayMs = 500;

}  // namespace

Form1::Form1(platform::FileDialog& dialog, platform::MessageBox& messageBox,
             platform::FileOpener& fileOpener, QWidget* parent, FareTableConverter converter,
             QString userManual)
    : QWidget(parent),
      dialog_(dialog),
      messageBox_(messageBox),
      fileOpener_(fileOpener),
      converter_(std::move(converter)),
      userManual_(std::move(userManual)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FromUtf8(kWindowCaption));
    // A fixed dialog border: a title bar with the close button only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
    setFont(LayoutFont(kWindowFontPointSize, false));

    QPalette palette = StylePalette();
    palette.setColor(QPalette::Window, ToColor(kBlack));
    setPalette(palette);
    setAutoFillBackground(true);

    BuildFromLayout();

    blinkTimer_ = new QTimer(this);
    blinkTimer_->setObjectName(QStringLiteral("Timer1"));
    blinkTimer_->setInterval(kBlinkIntervalMs);
    progressTimer_ = new QTimer(this);
    progressTimer_->setSingleShot(true);
    progressTimer_->setInterval(kProgressDelayMs);
    connect(progressTimer_, &QTimer::timeout, this, &Form1::ShowProgress);

    ConnectHandlers();

    // Neither option is selected; the focus waits on Option1(0) until the window is shown.
    optionButtons_[0]->setFocus(Qt::OtherFocusReason);
}

void Form1::ConnectHandlers() {
    for (int index = 0; index < 2; ++index) {
        optionButtons_[index]->installEventFilter(this);
        connect(optionButtons_[index], &QRadioButton::clicked, this,
                [this, index] { SelectMode(index); });
        connect(browseButtons_[index], &QPushButton::clicked, this,
                [this, index] { BrowseForPath(index); });
        connect(pathFields_[index], &QLineEdit::textChanged, this, &Form1::UpdateConvertEnabled);
    }
    connect(convertButton_, &QPushButton::clicked, this, &Form1::ConvertClicked);
    connect(templateButton_, &QPushButton::clicked, this, &Form1::TemplateClicked);
    connect(blinkTimer_, &QTimer::timeout, this, &Form1::ToggleStatusBlink);
    // Help is one key away, as on every desktop: F1 anywhere in the window.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { OpenUserManual(this, userManual_, fileOpener_, messageBox_); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // An arrow key on the chosen option chooses the other one. Qt would then put the focus
    // back on the option; the choice moves it on, as a click does.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool arrow =
            key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
        for (int index = 0; index < 2; ++index) {
            if (arrow && watched == optionButtons_[index] && optionButtons_[index]->isChecked()) {
                optionButtons_[1 - index]->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::SelectMode(int index) {
    const bool converting = index == 0;
    stepsFrame_->setEnabled(converting);
    templateButton_->setEnabled(!converting);
    coverPanel_->setVisible(!converting);
    if (converting) {
        pathFields_[0]->setFocus(Qt::OtherFocusReason);
    } else {
        templateButton_->setFocus(Qt::OtherFocusReason);
    }
}

void Form1::StartWithInput(const QString& inputPath) {
    optionButtons_[0]->click();
    pathFields_[0]->setText(inputPath);
    pathFields_[1]->setFocus(Qt::OtherFocusReason);
}

void Form1::UpdateConvertEnabled() {
    // Only an empty text counts as empty: a path of spaces is still the user's to try.
    convertButton_->setEnabled(!pathFields_[0]->text().isEmpty() &&
                               !pathFields_[1]->text().isEmpty());
}

void Form1::BrowseForPath(int index) {
    // The text filter comes first and is chosen; "*" shows files without an extension too.
    static constexpr std::string_view kFilters[] = {
        "テキストファイル(*.txt,*.csv)|*.txt;*.csv|表計算ファイル(*.xlsx,*.ods)|*.xlsx;*.ods|"
        "すべてのファイル(*.*)|*",
        "運賃表示器データVer3(*.hy3)|*.hy3",
    };
    try {
        platform::FileDialogRequest request;
        request.mode =
            index == 0 ? platform::FileDialogMode::kOpen : platform::FileDialogMode::kSave;
        request.filter = FromUtf8(kFilters[index]);
        // The output usually goes beside the input: the save dialog opens in its folder.
        if (index == 1 && !pathFields_[0]->text().isEmpty()) {
            request.initialFolder = QFileInfo(pathFields_[0]->text()).absolutePath();
        }
        const std::optional<QString> chosen = dialog_.Choose(this, request);
        if (chosen) {
            pathFields_[index]->setText(*chosen);
        }
    } catch (...) {
        // Browsing ends silently on any failure; the field keeps its text.
    }
}

void Form1::ToggleStatusBlink() {
    const bool grey = statusLabel_->palette().color(QPalette::Window) == ToColor(kLightGrey);
    SetStatusBackground(ToColor(grey ? kYellow : kLightGrey));
}

void Form1::TemplateClicked() {
    // The template export ends silently on any failure of its own.
    template_export::ProvideTemplate(this, dialog_, messageBox_, fileOpener_);
}

void Form1::SetStatusBackground(const QColor& colour) {
    QPalette palette = statusLabel_->palette();
    palette.setColor(QPalette::Window, colour);
    statusLabel_->setPalette(palette);
}

}  // namespace main_window
