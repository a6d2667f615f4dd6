#include "window/form1.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "conversion/wording.h"
#include "platform/desktop/file_dialog.h"
#include "template/export/template_export.h"
#include "window/layout_table.h"
#include "window/path_field.h"
#include "window/status_details.h"
#include "window/user_manual.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

constexpr int kBlinkIntervalMs = 500;

QColor ToColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QRect PixelRect(const LayoutRow& row) {
    return QRect(TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
                 TwipsToPixels(row.height));
}

QFont LayoutFont(double pointSize, bool bold) {
    QFont font(FromUtf8(kFontFamily));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The look every control starts from: the style's own colours, whatever the desktop's
// colour scheme, so that the window always looks as it was drawn.
QPalette StylePalette() {
    return QApplication::style()->standardPalette();
}

// The window system's default background for labels and blank panels.
QColor ButtonFace() {
    return StylePalette().color(QPalette::Button);
}

// Buttons paint on the Button role, text boxes on Base, the rest on Window; colours go to
// the roles the widget actually paints with.
void ApplyColours(const LayoutRow& row, QWidget& control) {
    QPalette palette = StylePalette();
    const bool paintsOwnBackground =
        row.kind != ControlKind::kButton && row.kind != ControlKind::kTextBox;
    if (paintsOwnBackground || row.background) {
        const QColor background = row.background ? ToColor(*row.background) : ButtonFace();
        palette.setColor(QPalette::Window, background);
        palette.setColor(control.backgroundRole(), background);
    }
    if (row.textColour) {
        palette.setColor(QPalette::WindowText, ToColor(*row.textColour));
        palette.setColor(control.foregroundRole(), ToColor(*row.textColour));
    }
    control.setPalette(palette);
}

// A path as the file system spells it, from the text of a path field.
std::string FileSystemPath(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// The mouse shows the busy cursor while a conversion holds the window, and the normal one
// again however the conversion ends.
class BusyCursor {
  public:
    BusyCursor() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // The conversion holds the event loop: let the window system show the cursor (and the
        // grey label) first. Clicks and keys wait until the conversion has returned.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The control the layout builder made for the row `name`, as the kind the table gives it.
template <typename Widget>
Widget* Built(const std::map<std::string_view, QWidget*>& built, std::string_view name) {
    auto* control = qobject_cast<Widget*>(built.at(name));
    Q_ASSERT_X(control != nullptr, "Form1", name.data());
    return control;
}

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

    ConnectHandlers();

    // Neither option is selected; the focus waits on Option1(0) until the window is shown.
    optionButtons_[0]->setFocus(Qt::OtherFocusReason);
}

void Form1::BuildFromLayout() {
    std::map<std::string_view, QWidget*> containers{{std::string_view(), this}};
    std::map<std::string_view, QWidget*> built;
    std::vector<QWidget*> labels;
    std::vector<std::pair<int, QWidget*>> tabChain;  // tab index, control

    for (const LayoutRow& row : Form1Layout()) {
        QWidget* control = CreateControl(row, containers.at(row.container));
        built[row.name] = control;
        control->setObjectName(FromUtf8(row.name));
        control->setGeometry(PixelRect(row));
        control->setEnabled(row.enabled);
        if (row.font) {
            control->setFont(LayoutFont(row.font->pointSize, row.font->bold));
        }

        ApplyColours(row, *control);

        switch (row.kind) {
            case ControlKind::kLabel:
                labels.push_back(control);
                break;
            case ControlKind::kFrame:
                containers[row.name] = control;
                break;
            case ControlKind::kBlankPanel:
                break;
            case ControlKind::kOptionButton:
            case ControlKind::kButton:
            case ControlKind::kTextBox:
                tabChain.emplace_back(row.tabIndex, control);
                break;
        }
    }

    // Labels are drawn on their container, under everything else in it; among themselves
    // they keep the table's order.
    for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
        (*label)->lower();
    }
    std::stable_sort(tabChain.begin(), tabChain.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < tabChain.size(); ++i) {
        QWidget::setTabOrder(tabChain[i - 1].second, tabChain[i].second);
    }

    optionButtons_ = {Built<QRadioButton>(built, "Option1_0"),
                      Built<QRadioButton>(built, "Option1_1")};
    pathFields_ = {Built<QLineEdit>(built, "Text1_0"), Built<QLineEdit>(built, "Text1_1")};
    browseButtons_ = {Built<QPushButton>(built, "Command2_0"),
                      Built<QPushButton>(built, "Command2_1")};
    convertButton_ = Built<QPushButton>(built, "Command1");
    templateButton_ = Built<QPushButton>(built, "Command3");
    stepsFrame_ = Built<QWidget>(built, "Frame2");
    coverPanel_ = Built<QWidget>(built, "Picture1");
    statusLabel_ = Built<QLabel>(built, "Label5");
}

QWidget* Form1::CreateControl(const LayoutRow& row, QWidget* container) {
    const QString caption = FromUtf8(row.caption);
    switch (row.kind) {
        case ControlKind::kLabel: {
            auto* label = new QLabel(container);
            // Captions are shown as they are, never read as markup.
            label->setTextFormat(Qt::PlainText);
            label->setText(caption);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAutoFillBackground(true);
            return label;
        }
        case ControlKind::kFrame: {
            auto* frame = new QGroupBox(caption, container);
            frame->setAutoFillBackground(true);
            return frame;
        }
        case ControlKind::kOptionButton: {
            auto* option = new QRadioButton(caption, container);
            option->setAutoFillBackground(true);
            return option;
        }
        case ControlKind::kButton: {
            auto* button = new QPushButton(caption, container);
            // No button reacts to Enter by itself.
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case ControlKind::kTextBox:
            return new PathField(container);
        case ControlKind::kBlankPanel: {
            auto* panel = new QFrame(container);
            panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            panel->setLineWidth(2);
            panel->setAutoFillBackground(true);
            return panel;
        }
    }
    Q_UNREACHABLE();
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
    static constexpr std::string_view kFilters[] = {
        "テキストファイル(*.txt,*.csv)|*.txt;*.csv|表計算ブック(*.xlsx;*.ods)|*.xlsx;*.ods",
        "運賃表示器データVer3(*.hy3)|*.hy3",
    };
    try {
        platform::FileDialogRequest request;
        request.mode =
            index == 0 ? platform::FileDialogMode::kOpen : platform::FileDialogMode::kSave;
        request.filter = FromUtf8(kFilters[index]);
        const std::optional<QString> chosen = dialog_.Choose(this, request);
        if (chosen) {
            pathFields_[index]->setText(*chosen);
        }
    } catch (...) {
        // Browsing ends silently on any failure; the field keeps its text.
    }
}

void Form1::ConvertClicked() {
    if (converting_) {
        return;  // a click that slipped in while the window showed the busy cursor
    }
    const QScopedValueRollback<bool> converting(converting_, true);
    blinkTimer_->stop();
    SetStatusBackground(ToColor(kLightGrey));

    conversion::ConversionOutcome outcome;
    {
        const BusyCursor busy;
        // The conversion catches its own failures: whatever goes wrong comes back as a
        // failed outcome, with its code.
        outcome = converter_(FileSystemPath(pathFields_[0]->text()),
                             FileSystemPath(pathFields_[1]->text()));
    }

    using Kind = conversion::ConversionOutcome::Kind;
    if (outcome.kind == Kind::kNothingToConvert) {
        // The label keeps its caption, and the tooltip that goes with it.
        return;
    }
    if (outcome.kind == Kind::kFailed) {
        blinkTimer_->start();
    }
    const std::optional<std::string> text = conversion::OutcomeText(outcome);
    QString caption = text ? FromUtf8(*text) : QString();
    const StatusDetails details = DescribeOutcome(outcome);
    const bool wroteFile = outcome.kind == Kind::kSucceeded;
    if (tableLink_ != nullptr) {
        tableLink_->setVisible(wroteFile);
        if (wroteFile) {
            writtenPath_ = pathFields_[1]->text();
            writtenOutcome_ = outcome;
        }
    }
    if (details.HasLine()) {
        // The label has room for three lines: the third must stay one line, whatever its
        // length. The pixels kept in hand absorb rounding between the measure and the drawing.
        constexpr int kSlackPixels = 4;
        const int linkWidth = wroteFile && tableLink_ != nullptr ? tableLink_->width() : 0;
        const int width = statusLabel_->contentsRect().width() - 2 * statusLabel_->margin() -
                          kSlackPixels - linkWidth;
        caption += QStringLiteral("\r\n") + details.FittedLine(statusLabel_->fontMetrics(), width);
    }
    statusLabel_->setText(caption);
    statusLabel_->setToolTip(details.toolTip);
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
